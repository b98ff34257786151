#!/usr/bin/env bash
# Installs every Debian package Daublin needs to build, run and test.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libmypaint-dev
  clang-format
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev
  libsdl2-dev libxi-dev libx11-dev libyaml-cpp-dev
  libcairo2-dev libpaper-dev poppler-utils
  zenity xvfb xauth xdotool xclip x11-xserver-utils pngcheck libjpeg-turbo-progs imagemagick librsvg2-bin
  fonts-dejavu-core
  fonts-dejavu-extra
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
