#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing.
set -euo pipefail

# clang only recommends its sanitizer and libFuzzer runtimes (libclang-rt-14-dev), and
# --no-install-recommends below would leave them out: name every package the build links.
packages=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6svg6 qt6-image-formats-plugins
  libxkbcommon-dev libgl-dev libsqlite3-dev libsimpleini-dev zlib1g-dev libjpeg-dev
  libmsgpack-cxx-dev fonts-noto-cjk xvfb xauth xdg-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
