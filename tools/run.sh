#!/usr/bin/env bash
# Runs one capture. With $DISPLAY set, the program starts on that display and
# the user drives it. Without one, a scripted demo runs on a virtual display:
# it starts the program, waits for the capture window, takes a picture of the
# display, ends the capture with Esc and prints the picture's path.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
EXE="$ROOT/build/windows/bin/ZTDScreenCapture.exe"
DECODE="$ROOT/build/native/bin/logdecode"

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$ROOT/tools/testenv.sh" wine "$EXE" "$@"
fi

demo() {
  local out="$ROOT/build/demo"
  mkdir -p "$out"
  local shot
  shot="$out/capture-$(date +%Y%m%d-%H%M%S).png"
  local logdir="$WINEPREFIX/drive_c/ProgramData/Orvane/quorabase/logs"
  rm -f "$logdir/ZTDScreenCapture.exe.log.logdat"

  # Something to capture: a text window with a few lines in it.
  local note="$WINEPREFIX/drive_c/demo.txt"
  printf 'ZTDScreenCapture demo\r\nThe capture window freezes this screen and dims it.\r\n' > "$note"
  wine notepad 'C:\demo.txt' >/dev/null 2>&1 &
  local notepad=$!
  xdotool search --sync --onlyvisible --class notepad >/dev/null 2>&1 || true
  sleep 1

  wine "$EXE" --cachepath='C:\demo' "$@" &
  local pid=$!
  if ! xdotool search --sync --onlyvisible --name '^TDRScreenCaptureWnd$' >/dev/null 2>&1; then
    echo "run: the capture window did not appear" >&2
    return 1
  fi
  sleep 0.5
  import -window root "$shot"
  xdotool key Escape
  local code=0
  wait "$pid" || code=$?
  kill "$notepad" >/dev/null 2>&1 || true
  echo "run: exit code $code; the program's log:"
  [ -x "$DECODE" ] && "$DECODE" "$logdir/ZTDScreenCapture.exe.log.logdat" | sed 's/^/  /' || true
  echo "$shot"
}

export -f demo
export ROOT EXE DECODE
exec bash "$ROOT/tools/testenv.sh" bash -c 'demo "$@"' demo "$@"
