# Installation in two components.
#   game: the program vorn, its launcher nvorn, the seven textures, the desktop
#         entry, icons, AppStream metainfo and man pages.
#   dev:  the engine as static libraries with their headers, a CMake package
#         (find_package(NVorn): NVorn::nvorn, NVorn::nvorn_main) and nvorn.pc.
# The game's programs and data go where a distribution keeps games; both
# folders are relative to the install prefix and can be changed.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(NVORN_GAME_BINDIR games CACHE STRING "Folder of the game's programs, relative to the prefix")
set(NVORN_GAME_DATADIR ${CMAKE_INSTALL_DATADIR}/games/nvorn CACHE STRING
    "Folder of the game's textures, relative to the prefix")
set(NVORN_APP_ID org.nvorn.NVorn)
# The date the man pages carry: the date of the latest packaged release.
set(NVORN_RELEASE_DATE 2026-12-07)

set(NVORN_INCLUDE_SUBDIR ${CMAKE_INSTALL_INCLUDEDIR}/nvorn)
set(NVORN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/NVorn)
set(NVORN_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
set(NVORN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(NVORN_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)

# nvorn_gzip(SOURCE OUTPUT): compresses SOURCE into OUTPUT at build time, with
# no name or time stamp in it so that packages build reproducibly.
function(nvorn_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${source} ${output}
    DEPENDS ${source} VERBATIM)
endfunction()

function(nvorn_install_dev)
  foreach(dir foundation core image render render/opengl render/opengl/sdl utils2d)
    file(GLOB headers ${PROJECT_SOURCE_DIR}/${dir}/*.h)
    install(FILES ${headers} DESTINATION ${NVORN_INCLUDE_SUBDIR}/${dir} COMPONENT dev)
  endforeach()

  set(libs nvorn)
  if(TARGET nvorn_main)
    list(APPEND libs nvorn_main)
  endif()
  install(TARGETS ${libs} EXPORT NVornTargets
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
          INCLUDES DESTINATION ${NVORN_INCLUDE_SUBDIR})
  install(EXPORT NVornTargets NAMESPACE NVorn:: DESTINATION ${NVORN_CMAKE_DIR} COMPONENT dev)
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/NVornConfig.cmake.in
    ${PROJECT_BINARY_DIR}/NVornConfig.cmake INSTALL_DESTINATION ${NVORN_CMAKE_DIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/NVornConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/NVornConfig.cmake ${PROJECT_BINARY_DIR}/NVornConfigVersion.cmake
          DESTINATION ${NVORN_CMAKE_DIR} COMPONENT dev)

  # nvorn.pc finds its prefix from its own folder, so it holds in any prefix.
  file(RELATIVE_PATH NVORN_PC_PREFIX /${NVORN_PKGCONFIG_DIR} /)
  string(REGEX REPLACE "/$" "" NVORN_PC_PREFIX "${NVORN_PC_PREFIX}")
  list(TRANSFORM CMAKE_DL_LIBS PREPEND -l OUTPUT_VARIABLE dl_flags)
  string(JOIN " " NVORN_PC_EXTRA_LIBS ${dl_flags})
  configure_file(${NVORN_PACKAGING_DIR}/nvorn.pc.in ${NVORN_GENERATED_DIR}/nvorn.pc @ONLY)
  install(FILES ${NVORN_GENERATED_DIR}/nvorn.pc DESTINATION ${NVORN_PKGCONFIG_DIR} COMPONENT dev)
endfunction()

# nvorn_man_page(NAME SUMMARY START EXTRA_STATUS SEE_ALSO): one page of section
# 6 from the common template, gzipped for installing. START is the paragraph
# on how the program is started; EXTRA_STATUS, if any, ends the paragraph on
# exit status 2.
function(nvorn_man_page name summary start extra_status see_also)
  set(MAN_NAME ${name})
  string(TOUPPER ${name} MAN_NAME_UPPER)
  set(MAN_SUMMARY ${summary})
  set(MAN_START ${start})
  set(MAN_EXTRA_STATUS ${extra_status})
  set(MAN_SEE_ALSO ${see_also})
  set(NVORN_MAN_DATE ${NVORN_RELEASE_DATE})
  set(NVORN_MAN_DATADIR ${CMAKE_INSTALL_PREFIX}/${NVORN_GAME_DATADIR})
  # A page without extra lines for its exit status would keep an empty line,
  # which the man page checkers report.
  file(READ ${NVORN_PACKAGING_DIR}/man.6.in template)
  string(CONFIGURE "${template}" page @ONLY)
  string(REGEX REPLACE "\n\n+" "\n" page "${page}")
  file(CONFIGURE OUTPUT ${NVORN_GENERATED_DIR}/${name}.6 CONTENT "${page}" @ONLY)
  nvorn_gzip(${NVORN_GENERATED_DIR}/${name}.6 ${NVORN_GENERATED_DIR}/${name}.6.gz)
  install(FILES ${NVORN_GENERATED_DIR}/${name}.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT game)
endfunction()

function(nvorn_install_game)
  install(TARGETS vorn RUNTIME DESTINATION ${NVORN_GAME_BINDIR} COMPONENT game)
  file(GLOB textures ${PROJECT_SOURCE_DIR}/assets/*.tga)
  install(FILES ${textures} DESTINATION ${NVORN_GAME_DATADIR} COMPONENT game)

  file(RELATIVE_PATH NVORN_LAUNCHER_DATADIR /${NVORN_GAME_BINDIR} /${NVORN_GAME_DATADIR})
  configure_file(${NVORN_PACKAGING_DIR}/nvorn.in ${NVORN_GENERATED_DIR}/nvorn @ONLY)
  install(PROGRAMS ${NVORN_GENERATED_DIR}/nvorn DESTINATION ${NVORN_GAME_BINDIR} COMPONENT game)

  install(FILES ${NVORN_PACKAGING_DIR}/${NVORN_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT game)
  install(FILES ${NVORN_PACKAGING_DIR}/${NVORN_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT game)
  foreach(size 48 64 128)
    install(FILES ${NVORN_PACKAGING_DIR}/icons/${NVORN_APP_ID}-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${NVORN_APP_ID}.png COMPONENT game)
  endforeach()

  nvorn_man_page(vorn "the NVorn arcade game"
    "Started by hand, vorn looks for its textures in the folder it is started from; started from the root folder, as a desktop does, it first moves to the folder that holds the program. The launcher nvorn(6) starts it from the textures' folder instead, from anywhere."
    "" nvorn)
  nvorn_man_page(nvorn "start the NVorn arcade game"
    "nvorn moves to the folder that holds the game's textures and starts the game, vorn(6), there, so it works from any folder and from the desktop menu."
    "The launcher also ends with 2 when it cannot find the textures' folder." vorn)
  add_custom_target(nvorn_man_pages ALL DEPENDS ${NVORN_GENERATED_DIR}/vorn.6.gz ${NVORN_GENERATED_DIR}/nvorn.6.gz)
endfunction()

# Each package carries its licence and its changelog in share/doc/<package>.
function(nvorn_install_package_docs component package)
  install(FILES ${NVORN_PACKAGING_DIR}/copyright
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
  install(FILES ${NVORN_GENERATED_DIR}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
endfunction()

nvorn_gzip(${NVORN_PACKAGING_DIR}/changelog ${NVORN_GENERATED_DIR}/changelog.Debian.gz)
add_custom_target(nvorn_changelog ALL DEPENDS ${NVORN_GENERATED_DIR}/changelog.Debian.gz)

nvorn_install_dev()
nvorn_install_package_docs(dev libnvorn-dev)
if(TARGET vorn)
  nvorn_install_game()
  nvorn_install_package_docs(game nvorn)
endif()
