# Debian packages through CPack's DEB generator, one per install component:
#   nvorn         (component game): the game, with its desktop integration
#   libnvorn-dev  (component dev):  the engine for programs built on it
# The run-time dependencies of the game come from dpkg-shlibdeps; on top come
# the GL and EGL loaders, which SDL opens at run time (GL on X11, EGL on
# Wayland) rather than linking them, and an OpenGL driver behind them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nvorn)
set(CPACK_PACKAGE_VENDOR "NVorn developers")
set(CPACK_PACKAGE_CONTACT "NVorn developers <dev@nvorn.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_NVORN_STRIP ${CMAKE_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/StripStaged.cmake)
set(CPACK_COMPONENTS_ALL game dev)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME nvorn)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
set(CPACK_DEBIAN_GAME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "libgl1, libegl1, libglx-mesa0 | libglx-vendor")
set(CPACK_DEBIAN_GAME_DESCRIPTION "real-time arcade game with a ship among drifting rocks
NVorn is an arcade game: a ship turns, thrusts and fires in a field that
wraps around at its edges, while rocks drift across it and split into
smaller ones when a shot hits them. A parallax star field moves behind the
play and a credits line scrolls in front of it.
.
The game runs on X11 and natively on Wayland through SDL2, and draws with
OpenGL.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libnvorn-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libsdl2-dev, libgl-dev")
set(CPACK_DEBIAN_DEV_DESCRIPTION "small C++ game engine over SDL2 and OpenGL (development files)
NVorn is a small C++17 game engine: a core loop with subsystems and a
message queue, a class registry, tracked memory, strings and streams, TGA
images, an OpenGL 1.x display device over SDL2 and a batched 2D drawing
layer.
.
This package holds the engine as static libraries with their headers, a
CMake package (find_package(NVorn)) and a pkg-config file (nvorn).")

include(CPack)
