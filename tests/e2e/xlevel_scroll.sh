#!/usr/bin/env bash
# The long capture as a person makes it (xdotool): a page that scrolls by the
# wheel, the capture started in start mode 1, the region dragged over the
# page, the page scrolled down by hand notch by notch, then finished. The PNG
# must hold the page's rows, each once, in order (ScrollPage.exe --check).
# Usage: xlevel_scroll.sh PROGRAM.EXE SCROLLPAGE.EXE   (inside tools/testenv.sh)
set -euo pipefail
EXE="$1"
PAGE="$2"
CACHE_WIN='C:\xscroll'
CACHE="$WINEPREFIX/drive_c/xscroll"
rm -rf "$CACHE"
mkdir -p "$CACHE"

fail() { echo "xlevel_scroll: $*" >&2; exit 1; }
wait_for() { for _ in $(seq 1 200); do if "$@"; then return 0; fi; sleep 0.05; done; return 1; }
shown() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
toolbar_width() { xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' | head -1; }
short_toolbar() { [ "$(toolbar_width)" = 168 ]; }

# The page: 800 x 800 at 300,100.
wine "$PAGE" 300 100 800 800 &
page=$!
trap 'kill $page 2>/dev/null || true; kill ${pid:-0} 2>/dev/null || true' EXIT
wait_for shown '^ZtdScrollPage$' || fail "the page did not appear"
sleep 0.3
wine "$EXE" --cachepath="$CACHE_WIN" --startmode=1 --ignoreWndowClassName=";ZtdScrollPage;" &
pid=$!
wait_for shown '^TDRScreenCaptureWnd$' || fail "the capture window did not appear"
# Region 400,200 - 1000,700 over the page (600 x 500).
xdotool mousemove 400 200 mousedown 1 mousemove 700 450 mousemove 1000 700 mouseup 1
wait_for short_toolbar || fail "the toolbar did not switch to the scroll layout (width $(toolbar_width))"
sleep 0.5
xdotool mousemove 700 450
for _ in $(seq 1 12); do xdotool click 5; sleep 0.35; done
sleep 1
geometry="$(xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null)"
bx="$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1/p' | head -1)"
by="$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\2/p' | head -1)"
xdotool mousemove $((bx + 122)) $((by + 25)) click 1
wait "$pid" || fail "the program ended with $?"
png="$(ls "$CACHE"/*.png 2>/dev/null | head -1)"
[ -n "$png" ] || fail "no PNG was written"
# The capture rectangle starts 1 pixel inside the region: page column 101.
wine "$PAGE" --check "$(winepath -w "$png")" 101 || fail "the long image is not the page"
height="$(convert "$png" -format '%h' info:)"
[ "$height" -gt 700 ] || fail "the long image is only $height rows high"
echo "xlevel_scroll: a long image of $height rows, every row the page's, in $png"
