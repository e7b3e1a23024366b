#!/usr/bin/env bash
# A person's mouse and keyboard at the X level (xdotool): a region dragged,
# the rectangle tool chosen and a rectangle drawn with one fast drag (a
# press, a single move, a release), a brush stroke drawn, a text typed in
# place, then finished. The PNG must show all three.
# Then, over a program no one here wrote (Wine's notepad), a click whose
# hand slips by a pixel takes the edit control under it, whole.
# Usage: xlevel_drag.sh PROGRAM.EXE WINDOWPROBE.EXE   (inside tools/testenv.sh)
set -euo pipefail
EXE="$1"
PROBE="$2"
NAME=xlevel_drag
source "$(dirname "$0")/xlevel_lib.sh"
fresh_cache xlevel

wine "$EXE" --cachepath="$CACHE_WIN" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wait_for shown '^TDRScreenCaptureWnd$' || fail "the capture window did not appear"
# Region 20,40 - 620,440 in one fast drag (a press, one move, a release):
# its toolbar sits below its right edge, its panel's edge on the region's
# and its buttons 8 pixels below the region.
xdotool mousemove 20 40 mousedown 1 mousemove 620 440 mouseup 1
bx=$((620 + TOOLBAR_SHADOWMARGIN - TOOLBAR_WIDTH)) by=$((440 + 8 - TOOLBAR_ROWTOP))
toolbar_placed() { [ "$(xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null | grep -c "Position: $bx,$by")" = 1 ]; }
wait_for toolbar_placed || fail "the toolbar was not placed below the region at $bx,$by"
xdotool mousemove $((bx + TOOLBAR_RECTANGLE_X)) $((by + TOOLBAR_RECTANGLE_Y)) click 1
# One fast drag: the only move is the end point.
xdotool mousemove 100 150 mousedown 1 mousemove 300 250 mouseup 1
red_edge() { [ "$(pixel 100 200)" = FF2600 ]; }
wait_for red_edge || fail "the rectangle did not appear on the screen (left edge at 100,200 is $(pixel 100 200))"
# The brush: a stroke of a few moves over a little time, as a hand draws it
# (the system merges moves that come faster than the program reads them).
xdotool mousemove $((bx + TOOLBAR_BRUSH_X)) $((by + TOOLBAR_BRUSH_Y)) click 1
xdotool mousemove 150 350 mousedown 1
for at in "180 352" "230 350" "300 349" "350 350" "400 350"; do xdotool mousemove $at; sleep 0.03; done
xdotool mouseup 1
stroke_shown() { [ "$(pixel 375 350)" = FF2600 ]; }
wait_for stroke_shown || fail "the brush stroke did not appear on the screen (375,350 is $(pixel 375 350))"
# It begins where the button went down, not at the first move that arrived.
[ "$(pixel 153 350)" = FF2600 ] || fail "the brush stroke does not start at its press (153,350 is $(pixel 153 350))"
# The text tool: a click places the box, the keyboard types into it, a click
# elsewhere ends the typing.
xdotool mousemove $((bx + TOOLBAR_TEXT_X)) $((by + TOOLBAR_TEXT_Y)) click 1
xdotool mousemove 100 400 click 1
sleep 0.2
xdotool type --delay 30 "Hi there"
text_shown() { [ "$(import -window root -crop 80x24+103+403 -depth 8 txt:- 2>/dev/null | awk '$2 ~ /^\(/ {split(substr($2,2),c,","); if (c[1]>200 && c[2]<110 && c[3]<110) n++} END {print n+0}')" -gt 20 ]; }
wait_for text_shown || fail "the typed text did not appear on the screen"
xdotool mousemove 500 420 click 1
xdotool mousemove $((bx + TOOLBAR_FINISH_X)) $((by + TOOLBAR_FINISH_Y)) click 1
wait "$pid" || fail "the program ended with $?"
trap - EXIT
png="$(ls "$CACHE"/*.png 2>/dev/null | head -1)"
[ -n "$png" ] || fail "no PNG was written"
at() { convert "$png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }
# In the image (region origin 20,40): the left edge at x 80, the inside untouched.
[ "$(at 80 160)" = FF2600 ] || fail "the PNG has $(at 80 160) where the rectangle's left edge is"
[ "$(at 180 160)" != FF2600 ] || fail "the PNG is red inside the rectangle"
[ "$(at 355 310)" = FF2600 ] || fail "the PNG has $(at 355 310) on the brush stroke"
[ "$(at 133 310)" = FF2600 ] || fail "the PNG has $(at 133 310) where the brush stroke begins"
# The text, red on the grey band, where it was typed (image 80,360 on).
reds="$(convert "$png" -crop 90x30+80+360 -depth 8 txt:- | awk '$2 ~ /^\(/ {split(substr($2,2),c,","); if (c[1]>200 && c[2]<110 && c[3]<110) n++} END {print n+0}')"
[ "$reds" -gt 20 ] || fail "the PNG shows no typed text ($reds red pixels in the box)"
echo "xlevel_drag: the region and the rectangle of one-move drags, a brush stroke and a typed text are on the screen and in $png"

# A click that slips by a pixel over notepad's edit control.
seq -f "line %g of a file that notepad shows" 1 200 | sed 's/$/\r/' > "$WINEPREFIX/drive_c/lines.txt"
wine notepad 'C:\lines.txt' &
notepad=$!
trap 'kill $notepad 2>/dev/null || true; kill ${pid:-0} 2>/dev/null || true' EXIT
wait_for shown 'lines.txt' || fail "notepad did not appear"
# (Where Wine placed it: moving its X window behind Wine's back would leave
# Wine's idea of the window elsewhere.)
edit_at() { read -r ex ey ew eh < <(wine "$PROBE" Notepad Edit | tr -d '\r') && [ "$ew" -gt 300 ] && [ "$eh" -gt 200 ]; }
wait_for edit_at || fail "notepad's edit control was not found"
fresh_cache xlevel_click
wine "$EXE" --cachepath="$CACHE_WIN" &
pid=$!
wait_for shown '^TDRScreenCaptureWnd$' || fail "the capture window did not appear"
cx=$((ex + ew / 2)); cy=$((ey + eh / 2))
xdotool mousemove $((cx - 40)) $((cy - 30)) sleep 0.1 mousemove "$cx" "$cy"
# The edit control is offered: the frame on its left edge.
offered() { [ "$(pixel "$ex" "$cy")" = 2F81FC ]; }
wait_for offered || fail "the edit control at $ex,$ey ${ew}x$eh was not offered ($(pixel "$ex" "$cy") on its left edge)"
xdotool mousedown 1 mousemove $((cx + 1)) "$cy" mouseup 1
wait_for shown '^CaptureMenuWnd$' || fail "the slipped click chose no region"
sleep 0.3
read -r bx by < <(xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1 \2/p' | head -1)
xdotool mousemove $((bx + TOOLBAR_FINISH_X)) $((by + TOOLBAR_FINISH_Y)) click 1
wait "$pid" || fail "the program ended with $?"
png="$(ls "$CACHE"/*.png 2>/dev/null | head -1)"
[ -n "$png" ] || fail "no PNG was written after the slipped click"
size="$(identify -format '%wx%h' "$png")"
[ "$size" = "${ew}x${eh}" ] || fail "the slipped click took $size, not the edit control's ${ew}x${eh}"
echo "xlevel_drag: a click that slipped by a pixel took notepad's edit control, ${ew}x${eh}"
