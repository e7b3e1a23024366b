#!/usr/bin/env bash
# Installs what the build and the tests need, and only what is missing.
# Safe to run again and again: a machine that has everything returns at once.
set -euo pipefail

PKGS=(
  cmake ninja-build make g++ pkg-config
  g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
  fonts-wqy-microhei fonts-dejavu-core librsvg2-bin libstb-dev
  googletest libgtest-dev libbenchmark-dev zlib1g-dev
  clang libclang-rt-14-dev python3
)

missing=()
for p in "${PKGS[@]}"; do
  # dpkg-query answers "install ok installed" only for a package that is fully there
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
