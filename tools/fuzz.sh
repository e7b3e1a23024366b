#!/usr/bin/env bash
# Builds the libFuzzer targets (ASan and UBSan on) and runs each for the given
# seconds (default 20), starting from its seeds under tests/fuzz/corpus/NAME;
# what a run finds stays in build/fuzz/NAME_corpus for the next run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/build/fuzz"
SECONDS_EACH="${1:-20}"
mkdir -p "$OUT"
# name, then its sources (the target's file first), then libraries.
TARGETS=(
  "zip tests/fuzz/ZipFuzz.cpp src/core/ZipArchive.cpp -lz"
  "stitch tests/fuzz/StitchFuzz.cpp src/core/FrameStitcher.cpp"
  "cmdline tests/fuzz/CommandLineFuzz.cpp src/core/CommandLine.cpp src/core/StartParams.cpp"
  "logdecode tests/fuzz/LogDecodeFuzz.cpp src/core/LogRecord.cpp"
  "layout tests/fuzz/LayoutFuzz.cpp src/core/SkinLayout.cpp"
  "mosaic tests/fuzz/MosaicFuzz.cpp src/core/Mosaic.cpp"
)
failed=0
for entry in "${TARGETS[@]}"; do
  read -r name files <<<"$entry"
  args=()
  for f in $files; do case "$f" in -*) args+=("$f") ;; *) args+=("$ROOT/$f") ;; esac; done
  clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I"$ROOT/src" -I"$ROOT/tests/fuzz" \
    "${args[@]}" -o "$OUT/${name}_fuzz"
  corpus="$OUT/${name}_corpus"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  status=0
  (cd "$OUT" && "./${name}_fuzz" -max_total_time="$SECONDS_EACH" -rss_limit_mb=1024 -print_final_stats=1 \
    "$corpus") >"$OUT/$name.log" 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|^Done|ERROR|SUMMARY' "$OUT/$name.log" | sed "s/^/$name: /" || true
  if [ "$status" != 0 ]; then
    tail -40 "$OUT/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $((${#TARGETS[@]} - failed)) passed, $failed failed, ${SECONDS_EACH} s each"
[ "$failed" = 0 ]
