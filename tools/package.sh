#!/usr/bin/env bash
# Builds the Debian packages nvorn (the game) and libnvorn-dev (the engine)
# into build-package/: a release build for the prefix /usr with Debian's
# hardening flags, packed by CPack. The last lines printed are the paths of
# the two .deb files.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
build="build-package"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags=$(dpkg-buildflags --get CFLAGS)
cxxflags=$(dpkg-buildflags --get CXXFLAGS)
cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)

# CMAKE_BUILD_TYPE=None adds no flags of CMake's own: the optimisation and
# debug flags are Debian's. The packages are stripped when they are packed.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DNVORN_TESTS=OFF -DNVORN_BENCH=OFF -DNVORN_FUZZ=OFF \
  -DCMAKE_C_FLAGS="$cflags $cppflags" -DCMAKE_CXX_FLAGS="$cxxflags $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
# Only what the packages hold is built.
cmake --build "$build" -j "$(nproc)" --target vorn nvorn nvorn_main nvorn_man_pages nvorn_changelog
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/*.deb
