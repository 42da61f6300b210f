#!/usr/bin/env bash
# Installs the Debian packages Lumaro builds and runs with, skipping what is already there.
#   bash scripts/install-deps.sh [PACKAGE...]     # these too (scripts/package.sh's tools)
set -euo pipefail
packages=(
  cmake ninja-build g++ ccache pkg-config clang-format clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-charts-dev libqt6sql6-sqlite libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
