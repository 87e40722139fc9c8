#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: in the
# normal build and in the sanitizer build (address, undefined,
# float-cast-overflow, leak). Between the two it builds the Debian packages,
# checks the installed game and engine, and runs the game on a nested Wayland
# compositor.
# Tests that need OpenGL run in a real window under Xvfb with Mesa's software
# renderer; this script starts Xvfb itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

jobs=$(nproc)
export LIBGL_ALWAYS_SOFTWARE=1

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  # -noreset: the server must not reset whenever its last client leaves, or a
  # test that connects at that moment finds its connection closed.
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== normal build"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Debian packages"
tools/package.sh
echo "== installed game and engine"
# As root the packages themselves are installed and purged again; otherwise
# the build goes into a temporary prefix.
if [ "$(id -u)" -eq 0 ]; then
  tools/install-check.sh --packages build-package
else
  tools/install-check.sh build
fi
echo "== the game on Wayland"
tools/wayland-check.sh build
echo "== sanitizer build"
# System libraries (D-Bus behind SDL, Mesa) keep some allocations until exit;
# tests/lsan.supp names them so that only our own leaks are reported.
# use_tls=0: the leak checker's scan of thread-local storage reads a stale
# entry once Mesa has unloaded its driver, and then crashes at exit.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0:use_tls=0 \
  run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DNVORN_SANITIZE=ON -DNVORN_BENCH=OFF
if [ -x tools/fuzz.sh ]; then
  echo "== fuzzing"
  tools/fuzz.sh
fi
