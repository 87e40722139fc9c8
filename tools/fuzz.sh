#!/usr/bin/env bash
# Builds every fuzz target with clang's libFuzzer (address and undefined
# sanitizers) in build-fuzz and runs each for FUZZ_SECONDS (10) from its
# committed seed corpus. New interesting inputs go to a temporary folder, so
# the committed corpora stay small; an input that crashes a target is written
# to that target's regressions folder, where the tests replay it from then on.
# Exits non-zero when a run found a crash.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
seconds=${FUZZ_SECONDS:-10}

# target, its folder under fuzz/, its corpus and regressions folders there
targets=(
  "fuzz_tga image corpus regressions"
  "fuzz_image_ops image ops_corpus ops_regressions"
  "fuzz_string foundation corpus regressions"
  "fuzz_memory foundation memory_corpus memory_regressions"
  "fuzz_dynamicarray foundation dynamicarray_corpus dynamicarray_regressions"
  "fuzz_shader render shader_corpus shader_regressions"
  "fuzz_indexed_draw render indexed_draw_corpus indexed_draw_regressions"
)

cmake -S . -B "$build" -DNVORN_FUZZ=ON -DNVORN_TESTS=OFF -DNVORN_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 >/dev/null
names=()
for row in "${targets[@]}"; do
  read -r name _ <<<"$row"
  names+=("$name")
done
cmake --build "$build" -j 2 --target "${names[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for row in "${targets[@]}"; do
  read -r name folder corpus regressions <<<"$row"
  echo "-- $name: $seconds s"
  mkdir -p "$scratch/$name"
  "$build/fuzz/$folder/$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="fuzz/$folder/$regressions/" "$scratch/$name" "fuzz/$folder/$corpus"
done
