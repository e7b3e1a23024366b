#!/usr/bin/env bash
# Installs what the build and the tests need, and only what is missing.
# Safe to run again and again: a machine that has everything returns at once
# (one dpkg-query for the whole list). A failed installation prints apt's own
# words and fails.
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

# The quick answer: every package known, and each fully installed ("ii").
if status="$(dpkg-query -W -f='${db:Status-Abbrev}\n' "${PKGS[@]}" 2>/dev/null)" &&
   [ "$(grep -c '^ii' <<<"$status")" = "${#PKGS[@]}" ] && ! grep -qv '^ii' <<<"$status"; then
  exit 0
fi

missing=()
for p in "${PKGS[@]}"; do
  # dpkg-query answers "install ok installed" only for a package that is fully there
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -gt 0 ] || exit 0

echo "setup: installing ${missing[*]}"
SUDO=()
if [ "$(id -u)" != 0 ]; then
  command -v sudo >/dev/null || { echo "setup: installing needs root or sudo; missing: ${missing[*]}" >&2; exit 1; }
  SUDO=(sudo)
fi
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# Quiet when it works; apt's whole output when it does not.
run() {
  if ! "${SUDO[@]}" "$@" >"$log" 2>&1; then
    echo "setup: '$*' failed:" >&2
    cat "$log" >&2
    exit 1
  fi
}
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  run dpkg --add-architecture i386
fi
run env DEBIAN_FRONTEND=noninteractive apt-get update
run env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
echo "setup: done"
