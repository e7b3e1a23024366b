#!/usr/bin/env bash
# The decoder on real bytes: two records and a torn third one.
set -u
decoder="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
# "ab\n" complemented is 9e 9d f5; "\xe4\xb8\xad\n" (a CJK character) is 1b 47 52 f5.
printf '\x03\x00\x00\x00\x9e\x9d\xf5\x04\x00\x00\x00\x1b\x47\x52\xf5\x09\x00\x00\x00\x9e' > "$dir/a.logdat"
out="$("$decoder" "$dir/a.logdat" 2>"$dir/err")"
status=$?
expected="$(printf 'ab\n\xe4\xb8\xad')"
[ "$status" = 1 ] || { echo "expected exit 1 for a torn record, got $status"; exit 1; }
[ "$out" = "$expected" ] || { echo "decoded text differs: $(printf '%s' "$out" | od -c)"; exit 1; }
grep -q 'truncated record at byte 15 of 20' "$dir/err" || { echo "no truncation report: $(cat "$dir/err")"; exit 1; }
"$decoder" "$dir/missing.logdat" 2>/dev/null
[ $? = 2 ] || { echo "a missing file must give exit 2"; exit 1; }
head -c 15 "$dir/a.logdat" | "$decoder" - >/dev/null || { echo "whole records from stdin must give exit 0"; exit 1; }
echo "logdecode cli: 1 passed, 0 failed"
