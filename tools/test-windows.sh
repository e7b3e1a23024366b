#!/usr/bin/env bash
# Runs the Windows suites (unit, end-to-end) under Wine. Where this machine runs
# 32-bit programs they run on the 32-bit program and on its 64-bit twin; where
# it cannot, on the twin only, and one line says so. Either build's tests are
# the same sources: the twin only differs in pointer size.
# With --stress first, the long runs instead (the test presets *-stress).
# Usage: tools/test-windows.sh [--stress] [CTEST ARGS...]   (e.g. -R e2e_tests)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
suffix=""
if [ "${1:-}" = --stress ]; then
  suffix="-stress"
  shift
fi
export ZTD_RUNS32="${ZTD_RUNS32:-$(bash "$ROOT/tools/probe32.sh")}"
if [ "$ZTD_RUNS32" = yes ]; then
  presets=(windows windows64)
else
  presets=(windows64)
fi
status=0
for preset in "${presets[@]}"; do
  echo "test-windows: the $preset build"
  bash "$ROOT/tools/testenv.sh" ctest --preset "$preset$suffix" "$@" || status=1
done
if [ "$ZTD_RUNS32" = yes ]; then
  echo "32-bit programs run here: Windows tests ran on the i686 and the x86_64 builds"
else
  echo "32-bit programs cannot run here: Windows tests ran on the x86_64 build"
fi
exit $status
