#!/usr/bin/env bash
# Runs a Windows test suite under Wine and passes only when the suite itself
# said so: exit code 0 and GoogleTest's closing summary with nothing failed.
# A suite whose process vanished in the middle of a test (no summary) fails,
# whatever its exit code, and so does one that ran no test at all.
# Usage: gtest_suite.sh SUITE.EXE [gtest arguments]   (inside tools/testenv.sh)
set -uo pipefail
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
wine "$@" 2>&1 | tee "$out"
status=${PIPESTATUS[0]}
if ! grep -q '^\[==========\] [1-9][0-9]* tests\? from .* ran\.' "$out" || ! grep -q '^\[  PASSED  \]' "$out"; then
  echo "gtest_suite: $(basename "$1") ended without its summary or ran no test (exit code $status)" >&2
  exit 1
fi
if grep -q '^\[  FAILED  \]' "$out" || [ "$status" != 0 ]; then
  echo "gtest_suite: $(basename "$1") failed (exit code $status)" >&2
  exit 1
fi
