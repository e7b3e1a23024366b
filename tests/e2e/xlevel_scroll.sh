#!/usr/bin/env bash
# The long capture as a person makes it (xdotool): a page that scrolls by the
# wheel, the capture started in start mode 1, the region dragged over the
# page, the page scrolled down by hand notch by notch, then finished. The PNG
# must hold the page's rows, each once, in order (ScrollPage.exe --check).
# Then a click starts the automatic scrolling, which stops by itself at the
# configured maximum height; and Esc ends captures while they scroll.
# Usage: xlevel_scroll.sh PROGRAM.EXE SCROLLPAGE.EXE   (inside tools/testenv.sh)
set -euo pipefail
EXE="$1"
PAGE="$2"
NAME=xlevel_scroll
source "$(dirname "$0")/xlevel_lib.sh"
fresh_cache xscroll
toolbar_width() { xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' | head -1; }
short_toolbar() { [ "$(toolbar_width)" = 168 ]; }

# The page: 800 x 800 at 300,100.
wine "$PAGE" 300 100 800 800 &
page=$!
wait_for shown '^ZtdScrollPage$' || fail "the page did not appear"
sleep 0.3
CONFIG="$WINEPREFIX/drive_c/config.ini"
trap 'kill $page 2>/dev/null || true; kill ${pid:-0} 2>/dev/null || true; rm -f "$CONFIG"' EXIT

# Starts a capture in start mode 1 and drags the region 400,200 - 1000,700
# (600 x 500) over the page; waits for the long capture's toolbar.
start_capture() {
  fresh_cache xscroll
  wine "$EXE" --cachepath="$CACHE_WIN" --startmode=1 --ignoreWndowClassName=";ZtdScrollPage;" &
  pid=$!
  wait_for shown '^TDRScreenCaptureWnd$' || fail "the capture window did not appear"
  xdotool mousemove 400 200 mousedown 1 mousemove 700 450 mousemove 1000 700 mouseup 1
  wait_for short_toolbar || fail "the toolbar did not switch to the scroll layout (width $(toolbar_width))"
  sleep 0.5
  xdotool mousemove 700 450
}
# Presses the toolbar's finish button and checks the long image row by row;
# sets $height.
finish_and_check() {
  local geometry bx by png
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
}
# A tip box shows in the middle of the selection: its dark left padding.
tip_shown() {
  local c
  c="$(import -window root -crop 1x1+590+450 -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1)"
  [ -n "$c" ] && [ $((16#${c:1:2})) -lt 40 ] && [ $((16#${c:3:2})) -lt 40 ] && [ $((16#${c:5:2})) -lt 40 ]
}
no_tip() { ! tip_shown; }
# The preview beside the selection stops changing: the last step is joined.
preview_settled() {
  local a b
  a="$(import -window root -crop 300x700+1020+100 -depth 8 rgb:- 2>/dev/null | md5sum)"
  sleep 0.4
  b="$(import -window root -crop 300x700+1020+100 -depth 8 rgb:- 2>/dev/null | md5sum)"
  [ "$a" = "$b" ]
}
wait_long() { for _ in $(seq 1 1200); do if "$@"; then return 0; fi; sleep 0.05; done; return 1; }

# By hand: twelve notches down.
start_capture
for _ in $(seq 1 12); do xdotool click 5; sleep 0.35; done
wait_for preview_settled || fail "the preview kept changing"
finish_and_check
[ "$height" -gt 700 ] || fail "the long image is only $height rows high"
echo "xlevel_scroll: by hand, a long image of $height rows, every row the page's"

# Automatically, up to a maximum height of 2,000 rows.
printf '[config]\r\ntdr_screecapture_maxscrollheight=2000\r\n' > "$CONFIG"
start_capture
wait_for tip_shown || fail "no start tip in the selection"
xdotool click 1
wait_for no_tip || fail "the start tip stayed after the click"
wait_long tip_shown || fail "the automatic scrolling did not stop with a tip"
finish_and_check
rm -f "$CONFIG"
[ "$height" -gt 2000 ] && [ "$height" -le 2100 ] || fail "the automatic scrolling stopped at $height rows, not just past 2,000"
echo "xlevel_scroll: automatically, $height rows, stopped at the maximum height, every row the page's"

# Esc while the page scrolls by itself: exit 0, at once.
for run in 1 2 3; do
  start_capture
  wait_for tip_shown || fail "no start tip in the selection (run $run)"
  xdotool click 1
  wait_for no_tip || fail "the start tip stayed after the click (run $run)"
  # Without a window manager X sends keys to the window under the pointer,
  # which over the selection's hole is the page; on Windows the capture
  # window has the keyboard wherever the pointer is. Press Esc over the
  # capture window's dimmed part.
  xdotool mousemove 200 950 key Escape
  started=$(date +%s%N)
  wait "$pid" || fail "Esc during automatic scrolling: exit $? (run $run)"
  elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
  [ "$elapsed" -lt 3000 ] || fail "Esc during automatic scrolling took $elapsed ms (run $run)"
done
echo "xlevel_scroll: Esc during automatic scrolling ended the capture with 0 three times"
