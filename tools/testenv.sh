#!/usr/bin/env bash
# Runs a command inside the Windows test environment:
#   - an isolated Wine prefix in build/wineprefix (made once, kept between runs),
#     set to Windows 10, with the fonts the skin asks for;
#   - an X display: $DISPLAY when set, else a private Xvfb (1920x1080x24 unless
#     ZTD_SCREEN says otherwise), stopped again when the command ends;
#   - a persistent wineserver, so each program start costs a tenth of a second;
#   - on a machine that cannot run 32-bit programs (ZTD_RUNS32=no, probed by
#     tools/probe32.sh when not given), `wine` and `wine-stable` on PATH are the
#     64-bit loader, so that the 64-bit twin, wineboot, reg and winepath run.
# Usage: tools/testenv.sh COMMAND [ARGS...]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ZTD_RUNS32="${ZTD_RUNS32:-$(bash "$ROOT/tools/probe32.sh")}"
if [ "$ZTD_RUNS32" = no ]; then
  # /usr/bin/wine takes the 32-bit loader whenever wine32 is installed.
  WINEBIN="$ROOT/build/winebin"
  mkdir -p "$WINEBIN"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' > "$WINEBIN/$name"
    chmod +x "$WINEBIN/$name"
  done
  export PATH="$WINEBIN:$PATH"
fi
export WINEPREFIX="${WINEPREFIX_OVERRIDE:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export LANG="${LANG:-C.UTF-8}"
SCREEN_SIZE="${ZTD_SCREEN:-1920x1080x24}"
PREFIX_STAMP="$WINEPREFIX/.ztd-prefix-v1"

started_xvfb=""
cleanup() {
  if [ -n "$started_xvfb" ]; then
    # Wine's desktop process talks to this display: end the server with it.
    wineserver -k >/dev/null 2>&1 || true
    kill "$started_xvfb" >/dev/null 2>&1 || true
    wait "$started_xvfb" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  # Xvfb picks a free display itself and writes its number to the pipe once
  # it takes connections; if it dies first, the pipe closes and the read ends.
  fifo="$(mktemp -u)"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$SCREEN_SIZE" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  started_xvfb=$!
  display=""
  read -r -t 30 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || { echo "testenv: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$display"
fi

if [ ! -f "$PREFIX_STAMP" ]; then
  echo "testenv: making the Wine prefix (once)..." >&2
  mkdir -p "$WINEPREFIX"
  # Bounded, as every step here: a set-up that hangs must fail the run, not stall it.
  timeout 300 wineboot -i >/dev/null 2>&1 || true
  timeout 120 wineserver -w >/dev/null 2>&1 || true
  reg_file="$(mktemp --suffix=.reg)"
  # Windows 10, 96 DPI, and the skin's font face mapped to an installed CJK font.
  {
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win10"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Segoe UI"="DejaVu Sans"
"Tahoma"="DejaVu Sans"
"Arial"="DejaVu Sans"

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="N"
REG
  } > "$reg_file"
  timeout 120 wine regedit /S "$(winepath -w "$reg_file")" >/dev/null 2>&1
  timeout 120 wineserver -w >/dev/null 2>&1 || true
  rm -f "$reg_file"
  touch "$PREFIX_STAMP"
fi

# A server that outlives single program starts (and a minute past the last one).
wineserver -p60 >/dev/null 2>&1 </dev/null || true
# Start Wine's own background processes (services, desktop) now, with no
# terminal or pipe of ours: whoever starts them first hands them its output
# handles, and a test runner would wait for those to close.
timeout 120 wine cmd /c exit >/dev/null 2>&1 </dev/null || true

"$@"
