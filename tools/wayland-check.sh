#!/usr/bin/env bash
# Checks that the built game runs natively on Wayland: starts weston with its
# X11 back end inside Xvfb (its headless back end offers no seat, without
# which SDL cannot start), on a socket of its own under a runtime folder of
# its own, and runs BUILD_DIR/bin/vorn on it with no X display in reach. From
# a screenshot of the nested display it finds the 640 x 480 field drawn in the
# game's clear colour and the ship's red at its centre, then ends the game
# with SIGTERM and checks its exit status and clean shutdown.
# Usage: tools/wayland-check.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${NVORN_CHECK_DISPLAY:-}" ]; then
  NVORN_CHECK_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export LIBGL_ALWAYS_SOFTWARE=1
build=$(readlink -f "${1:-build}")
socket=nvorn-check
# The game clears its field to (0.05, 0.05, 0.1).
clear_colour="rgb(13,13,26)"

XDG_RUNTIME_DIR=$(mktemp -d)
chmod 0700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
work=$(mktemp -d)
weston_pid=""
game_pid=""
cleanup() {
  [ -z "$game_pid" ] || kill -TERM "$game_pid" 2>/dev/null || true
  [ -z "$weston_pid" ] || { kill -TERM "$weston_pid" 2>/dev/null; wait "$weston_pid"; } || true
  rm -rf "$XDG_RUNTIME_DIR" "$work"
}
trap cleanup EXIT

failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

# start_weston: starts the compositor and waits up to ten seconds for its socket.
start_weston() {
  weston --backend=x11-backend.so --socket="$socket" --width=1024 --height=768 \
    --use-pixman --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
  weston_pid=$!
  local _
  for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && return 0
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "wayland check: weston did not open its socket" >&2
  cat "$work/weston.log" >&2
  exit 1
}

# field_box SHOT: the bounding box (WxH+X+Y) of the pixels in the clear colour.
field_box() {
  convert "$1" -fuzz 1% -fill black +opaque "$clear_colour" -fill white -opaque "$clear_colour" \
    -format "%@" info:
}

# count_red SHOT GEOMETRY: the ship's red pixels in the region.
count_red() {
  convert "$1" -crop "$2" +repage -fx "(r>0.6&&g<0.45&&b<0.45)?1:0" -format "%[fx:round(mean*w*h)]" info:
}

start_weston
(cd "$build/bin" && exec env -u DISPLAY SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY="$socket" ./vorn) \
  >"$work/game.log" 2>&1 &
game_pid=$!
sleep 4
import -window root "$work/shot.png"
kill -TERM "$game_pid"
status=0
wait "$game_pid" || status=$?
game_pid=""

check "the game exits with status 1 after SIGTERM (got $status)" '[ "$status" -eq 1 ]'
check "the game shut down cleanly" \
  'grep -qx "Leaked memory: 0 KiB, 0 blocks" "$work/game.log" && [ "$(tail -n 1 "$work/game.log")" = "CStdOutLogger deattching" ]'
box=$(field_box "$work/shot.png")
check "the 640x480 field is drawn in the clear colour (found $box)" '[[ "$box" == 640x480+* ]]'
if [[ "$box" =~ ^640x480\+([0-9]+)\+([0-9]+)$ ]]; then
  # The ship starts at the centre of the field.
  x=$((BASH_REMATCH[1] + 320 - 32))
  y=$((BASH_REMATCH[2] + 240 - 32))
  ship=$(count_red "$work/shot.png" "64x64+$x+$y")
  check "the ship is drawn at the field's centre ($ship red pixels)" '[ "$ship" -ge 20 ]'
fi

if [ "$failures" -ne 0 ]; then
  echo "wayland check: $failures failed; the game's log:"
  grep -v "^Extentions:" "$work/game.log" | tail -n 20
  exit 1
fi
echo "wayland check: all passed"
