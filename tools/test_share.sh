#!/usr/bin/env bash
# Share of test code among all code lines: tracked .cpp .h .sh .py .cmake files
# and CMakeLists.txt under src, tests, bench and tools; test lines are those
# under tests/. Run from anywhere inside the repository.
set -euo pipefail
cd "$(git rev-parse --show-toplevel)"
git ls-files -z src tests bench tools |
    grep -zE '(\.(cpp|h|sh|py|cmake)$|(^|/)CMakeLists\.txt$)' |
    xargs -0 wc -l |
    awk '$2 != "total" { all += $1; if ($2 ~ /^tests\//) t += $1 }
         END { printf "tests %d of %d code lines (%.1f%%)\n", t, all, all ? 100 * t / all : 0 }'
