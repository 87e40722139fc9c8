#!/usr/bin/env bash
# Installs every Debian package the build, the game, the tests, the benchmarks
# and the package checks need.
set -euo pipefail
packages=(
  cmake g++ make clang-14 libclang-rt-14-dev
  libsdl2-dev libgl1-mesa-dev libgl1-mesa-dri
  libgtest-dev libbenchmark-dev libstb-dev
  xvfb xauth imagemagick python3-pil
  libfreetype-dev fonts-dejavu-core
  dpkg-dev lintian appstream pkgconf weston
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
