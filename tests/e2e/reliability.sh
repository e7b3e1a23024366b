#!/usr/bin/env bash
# Runs the reliability suite with two folders a machine can only make with
# privileges: one that refuses new files (immutable) and one on a full disk
# (a small tmpfs, filled). Where they cannot be made those cases are left out.
# Usage: reliability.sh RELIABILITY_TESTS.EXE [gtest arguments]   (inside tools/testenv.sh)
set -uo pipefail
EXE="$1"
shift
RO=/tmp/ztd_readonly
FULL=/tmp/ztd_full
cleanup() {
  chattr -i "$RO" 2>/dev/null || true
  rm -rf "$RO"
  umount "$FULL" 2>/dev/null || true
  rmdir "$FULL" 2>/dev/null || true
}
trap cleanup EXIT
cleanup
mkdir -p "$RO" "$FULL"
if chattr +i "$RO" 2>/dev/null; then export ZTD_READONLY_DIR='Z:\tmp\ztd_readonly'; fi
if mount -t tmpfs -o size=64k tmpfs "$FULL" 2>/dev/null; then
  dd if=/dev/zero of="$FULL/fill" bs=4k 2>/dev/null || true
  export ZTD_FULL_DIR='Z:\tmp\ztd_full'
fi
bash "$(dirname "$0")/../gtest_suite.sh" "$EXE" "$@"
