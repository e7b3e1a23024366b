#!/usr/bin/env bash
# Prints "yes" when this machine runs 32-bit programs, else "no". Some kernels
# refuse i386 binaries ("32-bit emulation disabled"), whatever is installed:
# so run one, the 32-bit wineserver, instead of asking the package manager.
if /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
  echo yes
else
  echo no
fi
