#!/usr/bin/env bash
# Builds the benchmarks in Release and runs them all; each prints its ratio
# against the peer it is measured beside. The OpenGL ones run under Xvfb with
# Mesa's software renderer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j "$(nproc)" --target \
  bench_tga bench_2dutils bench_shader bench_opengl_sprites bench_game_frame bench_game_update
export LIBGL_ALWAYS_SOFTWARE=1
build-bench/bench/image/bench_tga
build-bench/bench/utils2d/bench_2dutils
build-bench/bench/render/bench_shader
build-bench/bench/game/bench_game_update
xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/render/opengl/bench_opengl_sprites
xvfb-run -a -s "-screen 0 1024x768x24" build-bench/bench/game/bench_game_frame
