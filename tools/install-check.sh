#!/usr/bin/env bash
# Checks the installed game and engine as a player and a programmer meet them.
#
#   tools/install-check.sh BUILD_DIR         install the build into a temporary prefix
#   tools/install-check.sh --packages DIR    install the .deb files in DIR (as root)
#
# Either way it runs the installed game through its launcher from an unrelated
# folder under Xvfb, checks from a screenshot that the ship and the credits
# line are drawn (so every texture was found), ends it with SIGTERM and checks
# its clean shutdown in the log; then it builds the example program against
# the installed engine, once through its CMake package and once through
# pkg-config, and runs it. With packages it first runs lintian and the
# AppStream validator, installs both packages with apt-get, and at the end
# purges them and checks that none of their files is left.
set -euo pipefail
cd "$(dirname "$0")/.."
# Everything below runs on one virtual display of its own.
if [ -z "${NVORN_CHECK_DISPLAY:-}" ]; then
  NVORN_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1
repo=$PWD
work=$(mktemp -d)
packages_installed=0

cleanup() {
  if [ "$packages_installed" -eq 1 ]; then
    apt-get purge -y nvorn libnvorn-dev >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# run_and_shoot PROGRAM LOG SHOT: runs PROGRAM (a path, or a name looked up
# in PATH) from an unrelated folder on the current display, takes a
# screenshot after a few seconds, ends it with SIGTERM and returns its exit
# status.
run_and_shoot() {
  mkdir -p "$work/elsewhere"
  (cd "$work/elsewhere" && exec "$1") >"$2" 2>&1 &
  local pid=$!
  sleep 4
  import -window root "$3"
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  return $status
}

# count_pixels SHOT GEOMETRY CONDITION: pixels in the region that meet CONDITION.
count_pixels() {
  convert "$1" -crop "$2" +repage -fx "$3" -format "%[fx:round(mean*w*h)]" info:
}

# check_game LAUNCHER DATADIR: the game started through LAUNCHER runs from
# DATADIR, draws the ship and the credits line, and shuts down cleanly.
check_game() {
  local launcher=$1 datadir=$2 status=0
  run_and_shoot "$launcher" "$work/game.log" "$work/game.png" || status=$?
  check "the installed game exits with status 1 after SIGTERM (got $status)" '[ "$status" -eq 1 ]'
  check "the launcher moved to the textures' folder $datadir" \
    'grep -qxF "MAIN: Working directory is $datadir" "$work/game.log"'
  check "the game shut down cleanly" \
    'grep -qx "Leaked memory: 0 KiB, 0 blocks" "$work/game.log" && [ "$(tail -n 1 "$work/game.log")" = "CStdOutLogger deattching" ]'
  # The window opens at (50, 50): the ship starts centred on (320, 240) of the
  # window, the credits line runs along y = 400 from the right edge.
  local ship text
  ship=$(count_pixels "$work/game.png" 64x64+338+258 "(r>0.6&&g<0.45&&b<0.45)?1:0")
  text=$(count_pixels "$work/game.png" 300x20+390+440 "(r>0.8&&g>0.8&&b>0.8)?1:0")
  check "the ship is drawn ($ship red pixels)" '[ "$ship" -ge 20 ]'
  check "the credits line is drawn ($text white pixels)" '[ "$text" -ge 60 ]'
}

# check_quads PROGRAM: the example draws its quads and text and ends with
# status 1 after SIGTERM.
check_quads() {
  local status=0
  run_and_shoot "$1" "$work/quads.log" "$work/quads.png" || status=$?
  check "the example exits with status 1 after SIGTERM (got $status)" '[ "$status" -eq 1 ]'
  local quads
  quads=$(count_pixels "$work/quads.png" 640x480+50+50 "(r+g+b>1.2)?1:0")
  check "the example draws its quads and text ($quads lit pixels)" '[ "$quads" -ge 5000 ]'
}

# build_quads_cmake [PREFIX]: builds the example through find_package(NVorn).
build_quads_cmake() {
  local args=()
  [ -z "${1:-}" ] || args=(-DCMAKE_PREFIX_PATH="$1")
  check "the example builds through find_package(NVorn)" \
    'cmake -S "$repo/examples/quads" -B "$work/quads-cmake" "${args[@]}" >"$work/quads-cmake.log" 2>&1 &&
     cmake --build "$work/quads-cmake" >>"$work/quads-cmake.log" 2>&1'
}

# build_quads_pkgconfig: builds the example with one compiler line from
# pkg-config's flags for nvorn (PKG_CONFIG_PATH as the caller set it).
build_quads_pkgconfig() {
  mkdir -p "$work/quads-pc"
  check "the example builds with \`g++ ... \$(pkg-config --cflags --libs nvorn)\`" \
    'g++ -o "$work/quads-pc/quads" "$repo/examples/quads/Quads.cpp" $(pkg-config --cflags --libs nvorn) \
       >"$work/quads-pc.log" 2>&1'
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "install check: $failures failed"
    exit 1
  fi
  echo "install check: all passed"
}

check_prefix_install() {
  local build=$1 prefix=$work/prefix
  echo "-- installing into $prefix"
  cmake --install "$build" --prefix "$prefix" >/dev/null
  check_game "$prefix/games/nvorn" "$prefix/share/games/nvorn"

  echo "-- building the example against the installed engine"
  build_quads_cmake "$prefix"
  local pc
  pc=$(find "$prefix" -name nvorn.pc)
  PKG_CONFIG_PATH=$(dirname "$pc") build_quads_pkgconfig
  [ ! -x "$work/quads-cmake/quads" ] || check_quads "$work/quads-cmake/quads"
}

# lint_packages DIR: lintian reports no error on either package.
lint_packages() {
  echo "-- lintian"
  local status=0
  lintian --fail-on error "$1"/nvorn_*.deb "$1"/libnvorn-dev_*.deb >"$work/lintian.log" 2>&1 || status=$?
  grep -v "running with root privileges" "$work/lintian.log" || true
  check "lintian reports no errors" '[ "$status" -eq 0 ] && ! grep -q "^E:" "$work/lintian.log"'
}

check_package_install() {
  local dir
  dir=$(readlink -f "$1")
  if [ "$(id -u)" -ne 0 ]; then
    echo "install check: --packages installs with apt-get and needs root" >&2
    exit 2
  fi
  lint_packages "$dir"

  echo "-- installing the packages"
  packages_installed=1
  DEBIAN_FRONTEND=noninteractive apt-get install -y "$dir"/nvorn_*.deb "$dir"/libnvorn-dev_*.deb \
    >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
  dpkg -L nvorn libnvorn-dev | sort -u >"$work/installed.list"
  check "the metainfo passes appstreamcli validate --no-net" \
    'appstreamcli validate --no-net /usr/share/metainfo/org.nvorn.NVorn.metainfo.xml >"$work/appstream.log"'
  check "the man pages vorn(6) and nvorn(6) are installed" \
    'zgrep -q "^\.SH EXIT STATUS" /usr/share/man/man6/vorn.6.gz && zgrep -q "^\.SH EXIT STATUS" /usr/share/man/man6/nvorn.6.gz'
  local size
  for size in 48 64 128; do
    check "the ${size} px icon is installed" \
      '[ "$(identify -format %wx%h /usr/share/icons/hicolor/${size}x${size}/apps/org.nvorn.NVorn.png)" = "${size}x${size}" ]'
  done

  # A player's PATH holds the games' folder; root's does not.
  case ":$PATH:" in *:/usr/games:*) ;; *) PATH=$PATH:/usr/games ;; esac
  check "nvorn is found in PATH as /usr/games/nvorn" '[ "$(command -v nvorn)" = /usr/games/nvorn ]'
  check_game nvorn /usr/share/games/nvorn

  echo "-- building the example against the installed engine"
  build_quads_cmake
  build_quads_pkgconfig
  [ ! -x "$work/quads-pc/quads" ] || check_quads "$work/quads-pc/quads"

  echo "-- purging the packages"
  DEBIAN_FRONTEND=noninteractive apt-get purge -y nvorn libnvorn-dev >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; exit 1; }
  packages_installed=0
  # Shared folders such as /usr/share/icons stay; the packages' own go.
  local left
  left=$(while read -r path; do
           if [ -d "$path" ]; then
             case "$path" in *nvorn*|*NVorn*) echo "$path" ;; esac
           elif [ -e "$path" ] || [ -L "$path" ]; then
             echo "$path"
           fi
         done <"$work/installed.list")
  check "nothing of the packages is left after purge${left:+: $left}" '[ -z "$left" ]'
}

case "${1:-}" in
  --packages) check_package_install "${2:?usage: tools/install-check.sh --packages DIR}" ;;
  *) check_prefix_install "${1:-build}" ;;
esac
finish
