#!/usr/bin/env bash
# Builds the skin-archive fuzzer with clang's libFuzzer (ASan and UBSan on)
# and runs it for a while (seconds as first argument, default 20).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/build/fuzz"
SECONDS_TO_RUN="${1:-20}"
mkdir -p "$OUT/corpus"
clang++ -std=c++17 -O1 -g -I"$ROOT/src" -I"$ROOT/tests" "$ROOT/tests/fuzz/seed.cpp" -lz -o "$OUT/seed"
"$OUT/seed" "$OUT/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$ROOT/src" \
  "$ROOT/tests/fuzz/ZipFuzz.cpp" "$ROOT/src/core/ZipArchive.cpp" -lz -o "$OUT/zip_fuzz"
status=0
(cd "$OUT" && ./zip_fuzz -max_total_time="$SECONDS_TO_RUN" -rss_limit_mb=1024 -print_final_stats=1 corpus) \
  >"$OUT/fuzz.log" 2>&1 || status=$?
grep -E 'stat::number_of_executed_units|^Done|ERROR|SUMMARY' "$OUT/fuzz.log" || true
if [ "$status" != 0 ]; then
  tail -40 "$OUT/fuzz.log"
  echo "zip fuzz: 0 passed, 1 failed"
  exit 1
fi
echo "zip fuzz: 1 passed, 0 failed"
