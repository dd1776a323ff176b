#!/usr/bin/env bash
# Installs every Debian package Vellumar needs to build, test and run. Safe to run again:
# it only calls apt-get when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev
  libcurl4-openssl-dev
  libtinyxml2-dev libofx-dev
  libcpp-httplib-dev
  libgd-dev
  libhowardhinnant-date-dev tzdata
  libgtest-dev libgmock-dev nlohmann-json3-dev
  libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth imagemagick xdotool
  poppler-utils
  fonts-dejavu-core
  dpkg-dev fakeroot desktop-file-utils appstream librsvg2-bin help2man
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
