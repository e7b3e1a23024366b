#!/usr/bin/env bash
# Runs one capture. With $DISPLAY set, the program starts on that display and
# the user drives it. Without one, a scripted demo runs on a virtual display:
# it starts the program, waits for the capture window, takes a picture of the
# display, ends the capture with Esc and prints the picture's path.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
EXE="$ROOT/build/windows/bin/ZTDScreenCapture.exe"
export ZTD_RUNS32="${ZTD_RUNS32:-$(bash "$ROOT/tools/probe32.sh")}"
if [ "$ZTD_RUNS32" != yes ]; then
  # Same sources, 64-bit: the program behaves the same.
  EXE="$ROOT/build/windows64/bin/ZTDScreenCapture.exe"
  echo "run: 32-bit programs cannot run here: running the x86_64 build" >&2
fi
DECODE="$ROOT/build/native/bin/logdecode"

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$ROOT/tools/testenv.sh" wine "$EXE" "$@"
fi

demo() {
  local out="$ROOT/build/demo"
  mkdir -p "$out"
  local shot
  shot="$out/display-$(date +%Y%m%d-%H%M%S).png"
  local logdir="$WINEPREFIX/drive_c/ProgramData/Orvane/quorabase/logs"
  local cache="$WINEPREFIX/drive_c/demo"
  rm -f "$logdir/ZTDScreenCapture.exe.log.logdat"
  mkdir -p "$cache"

  # Something to capture: a text window with a few lines in it.
  local note="$WINEPREFIX/drive_c/demo.txt"
  printf 'ZTDScreenCapture demo\r\nA region of this screen is selected, a red rectangle drawn on it,\r\nand the result finished into C:\\demo.\r\n' > "$note"
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
  # Drag a region, choose the rectangle tool, draw, finish.
  # Region 20,40 - 620,440; its toolbar then lies below its right edge, the
  # buttons 8 pixels below it.
  eval "$(python3 "$ROOT/tools/toolbar_geometry.py" --shell)"
  local bx=$((620 + TOOLBAR_SHADOWMARGIN - TOOLBAR_WIDTH)) by=$((440 + 8 - TOOLBAR_ROWTOP))
  xdotool mousemove 20 40 mousedown 1
  for i in 1 2 3 4 5 6; do xdotool mousemove $((20 + i * 100)) $((40 + i * 66 + (i == 6 ? 4 : 0))); sleep 0.05; done
  xdotool mouseup 1
  sleep 0.6
  xdotool mousemove $((bx + TOOLBAR_RECTANGLE_X)) $((by + TOOLBAR_RECTANGLE_Y)) click 1
  sleep 0.4
  xdotool mousemove 60 150 mousedown 1
  for i in 1 2 3 4 5; do xdotool mousemove $((60 + i * 50)) $((150 + i * 25)); sleep 0.05; done
  xdotool mouseup 1
  sleep 0.4
  import -window root "$shot"
  xdotool mousemove $((bx + TOOLBAR_FINISH_X)) $((by + TOOLBAR_FINISH_Y)) click 1
  local code=0
  wait "$pid" || code=$?
  kill "$notepad" >/dev/null 2>&1 || true
  echo "run: exit code $code; the program's log:"
  [ -x "$DECODE" ] && "$DECODE" "$logdir/ZTDScreenCapture.exe.log.logdat" | sed 's/^/  /' || true
  echo "run: the display while drawing: $shot"
  local png
  png="$(ls -t "$cache"/*.png 2>/dev/null | head -1)"
  if [ -z "$png" ]; then
    echo "run: no image was written" >&2
    return 1
  fi
  echo "$png"
}

export -f demo
export ROOT EXE DECODE
exec bash "$ROOT/tools/testenv.sh" bash -c 'demo "$@"' demo "$@"
