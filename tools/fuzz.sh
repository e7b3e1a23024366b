#!/usr/bin/env bash
# Builds the fuzzers (skin archive reader, frame stitching) with clang's
# libFuzzer, ASan and UBSan on, and runs each for a while (seconds as first
# argument, default 20, shared between them).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/build/fuzz"
SECONDS_TO_RUN="${1:-20}"
mkdir -p "$OUT/corpus"
clang++ -std=c++17 -O1 -g -I"$ROOT/src" -I"$ROOT/tests" "$ROOT/tests/fuzz/seed.cpp" -lz -o "$OUT/seed"
"$OUT/seed" "$OUT/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$ROOT/src" \
  "$ROOT/tests/fuzz/ZipFuzz.cpp" "$ROOT/src/core/ZipArchive.cpp" -lz -o "$OUT/zip_fuzz"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$ROOT/src" \
  "$ROOT/tests/fuzz/StitchFuzz.cpp" "$ROOT/src/scroll/FrameStitcher.cpp" -o "$OUT/stitch_fuzz"
mkdir -p "$OUT/stitch_corpus"
half=$(( (SECONDS_TO_RUN + 1) / 2 ))
failed=0
for target in zip stitch; do
  corpus=corpus
  [ "$target" = stitch ] && corpus=stitch_corpus
  status=0
  (cd "$OUT" && "./${target}_fuzz" -max_total_time="$half" -rss_limit_mb=1024 -print_final_stats=1 "$corpus") \
    >"$OUT/$target.log" 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|^Done|ERROR|SUMMARY' "$OUT/$target.log" | sed "s/^/$target: /" || true
  if [ "$status" != 0 ]; then
    tail -40 "$OUT/$target.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $((2 - failed)) passed, $failed failed"
[ "$failed" = 0 ]
