#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the folder
# that holds it and its textures.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vorn
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. To run the game without one, start it under a virtual display:"
  echo "  (cd build/bin && xvfb-run -a -s '-screen 0 1024x768x24' ./vorn)"
  exit 2
fi
cd build/bin && exec ./vorn
