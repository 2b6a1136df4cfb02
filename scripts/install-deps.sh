#!/usr/bin/env bash
# Installs everything the build, the tests, the demo and the benchmarks need on a
# fresh Debian machine. Safe to run again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  qt6-base-dev libgl-dev libzip-dev libpugixml-dev libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev
  libxlsxwriter-dev nlohmann-json3-dev file dpkg-dev
  libvisio-tools zip unzip time python3 python3-openpyxl bc
  libreoffice-writer-nogui libreoffice-calc-nogui libreoffice-draw-nogui
  fonts-liberation fonts-liberation2 xvfb x11-utils imagemagick ccache
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
