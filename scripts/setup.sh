#!/usr/bin/env bash
# Installs what building, running and testing need on a fresh Debian machine. Quiet and
# quick when everything is there already.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb x11-utils imagemagick
  fonts-ipafont-gothic fonts-wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
