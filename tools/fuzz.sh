#!/usr/bin/env bash
# Builds the libFuzzer targets (preset `fuzz`: clang, ASan and UBSan on) and
# runs each for the given seconds (default 20), starting from its seeds under
# tests/fuzz/corpus/NAME; what a run finds stays in build/fuzz/NAME_corpus for
# the next run. A target passes when it ran inputs and found nothing.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/build/fuzz"
SECONDS_EACH="${1:-20}"
cd "$ROOT"
[ -f "$OUT/build.ninja" ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=("$OUT"/bin/*_fuzz)
[ -x "${targets[0]}" ] || { echo "fuzz: no fuzz targets were built under $OUT/bin" >&2; exit 1; }
failed=0
for target in "${targets[@]}"; do
  name="$(basename "$target" _fuzz)"
  corpus="$OUT/${name}_corpus"
  mkdir -p "$corpus"
  cp -n "$ROOT/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
  status=0
  # -timeout: one input that runs this long counts as a hang, found and failed.
  (cd "$OUT" && "$target" -max_total_time="$SECONDS_EACH" -timeout=60 -rss_limit_mb=1024 -print_final_stats=1 \
    "$corpus") >"$OUT/$name.log" 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|^Done|ERROR|SUMMARY' "$OUT/$name.log" | sed "s/^/$name: /" || true
  units="$(sed -n 's/^stat::number_of_executed_units: *//p' "$OUT/$name.log" | tail -1)"
  if [ "$status" = 0 ] && [ "${units:-0}" -eq 0 ]; then
    echo "$name: ran no inputs"
    status=1
  fi
  if [ "$status" != 0 ]; then
    tail -40 "$OUT/$name.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $((${#targets[@]} - failed)) passed, $failed failed, ${SECONDS_EACH} s each"
[ "$failed" = 0 ]
