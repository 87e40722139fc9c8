#!/usr/bin/env bash
# Checks the installed game and engine as a user and a programmer meet them:
# installs the build into a temporary prefix, builds the example program
# against the installed package, runs the installed game through its launcher
# from an unrelated folder under Xvfb, checks from a screenshot that the ship
# and the credits line are drawn (so every texture was found), then ends it
# with SIGTERM and checks its clean shutdown in the log.
# Usage: tools/install-check.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
# Everything below runs on one virtual display of its own.
if [ -z "${NVORN_CHECK_DISPLAY:-}" ]; then
  NVORN_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1
build=${1:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

echo "-- installing into $prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

echo "-- building the example against the installed package"
cmake -S examples/quads -B "$work/quads" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/quads" >/dev/null

# run_and_shoot PROGRAM LOG SHOT: runs PROGRAM from an unrelated folder on
# the current display, takes a screenshot after a few seconds, ends it with
# SIGTERM and returns its exit status.
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

failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

status=0
run_and_shoot "$prefix/bin/nvorn" "$work/game.log" "$work/game.png" || status=$?
check "the installed game exits with status 1 after SIGTERM (got $status)" '[ "$status" -eq 1 ]'
check "the launcher moved to the textures' folder" \
  'grep -q "^MAIN: Working directory is $prefix/share/nvorn\$" "$work/game.log"'
check "the game shut down cleanly" \
  'grep -q "^Leaked memory: 0 KiB, 0 blocks\$" "$work/game.log" && [ "$(tail -n 1 "$work/game.log")" = "CStdOutLogger deattching" ]'
# The window opens at (50, 50): the ship starts centred on (320, 240) of the
# window, the credits line runs along y = 400 from the right edge.
ship=$(count_pixels "$work/game.png" 64x64+338+258 "(r>0.6&&g<0.45&&b<0.45)?1:0")
text=$(count_pixels "$work/game.png" 300x20+390+440 "(r>0.8&&g>0.8&&b>0.8)?1:0")
check "the ship is drawn ($ship red pixels)" '[ "$ship" -ge 20 ]'
check "the credits line is drawn ($text white pixels)" '[ "$text" -ge 60 ]'

status=0
run_and_shoot "$work/quads/quads" "$work/quads.log" "$work/quads.png" || status=$?
check "the example exits with status 1 after SIGTERM (got $status)" '[ "$status" -eq 1 ]'
quads=$(count_pixels "$work/quads.png" 640x480+50+50 "(r+g+b>1.2)?1:0")
check "the example draws its quads and text ($quads lit pixels)" '[ "$quads" -ge 5000 ]'

if [ "$failures" -ne 0 ]; then
  echo "install check: $failures failed"
  exit 1
fi
echo "install check: all passed"
