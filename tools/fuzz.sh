#!/usr/bin/env bash
# Builds the TGA fuzz target with clang's libFuzzer (address and undefined
# sanitizers) in build-fuzz and runs it for 60 seconds from the committed seed
# corpus. New interesting inputs go to a temporary folder, so the committed
# corpus stays small; an input that crashes the target is written to
# fuzz/image/regressions/, where the image tests replay it from then on.
# Exits non-zero when the run found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds=${FUZZ_SECONDS:-60}

cmake -S . -B "$build" -DNVORN_FUZZ=ON -DNVORN_TESTS=OFF -DNVORN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 >/dev/null
cmake --build "$build" -j 2 --target fuzz_tga

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$build/fuzz/image/fuzz_tga" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix=fuzz/image/regressions/ "$scratch" fuzz/image/corpus
