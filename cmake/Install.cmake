# Installation: the engine as a library with its headers and a CMake package
# (find_package(NVorn), NVorn::nvorn and NVorn::nvorn_main), and the game with
# its textures, a launcher, a desktop entry and an icon.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(NVORN_INCLUDE_SUBDIR ${CMAKE_INSTALL_INCLUDEDIR}/nvorn)
set(NVORN_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/NVorn)
set(NVORN_DATA_DIR ${CMAKE_INSTALL_DATADIR}/nvorn)

foreach(dir foundation core image render render/opengl render/opengl/sdl utils2d)
  file(GLOB headers ${PROJECT_SOURCE_DIR}/${dir}/*.h)
  install(FILES ${headers} DESTINATION ${NVORN_INCLUDE_SUBDIR}/${dir})
endforeach()

set(NVORN_LIBS nvorn)
if(TARGET nvorn_main)
  list(APPEND NVORN_LIBS nvorn_main)
endif()
install(TARGETS ${NVORN_LIBS} EXPORT NVornTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${NVORN_INCLUDE_SUBDIR})
install(EXPORT NVornTargets NAMESPACE NVorn:: DESTINATION ${NVORN_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/NVornConfig.cmake.in
  ${PROJECT_BINARY_DIR}/NVornConfig.cmake INSTALL_DESTINATION ${NVORN_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/NVornConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/NVornConfig.cmake ${PROJECT_BINARY_DIR}/NVornConfigVersion.cmake
        DESTINATION ${NVORN_CMAKE_DIR})

if(TARGET vorn)
  install(TARGETS vorn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  file(GLOB NVORN_TEXTURES ${PROJECT_SOURCE_DIR}/assets/*.tga)
  install(FILES ${NVORN_TEXTURES} DESTINATION ${NVORN_DATA_DIR})
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/nvorn DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/nvorn.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  if(EXISTS ${PROJECT_SOURCE_DIR}/packaging/nvorn.png)
    install(FILES ${PROJECT_SOURCE_DIR}/packaging/nvorn.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps)
  endif()
endif()
