#!/usr/bin/env bash
# The long capture as a person makes it (xdotool): a page that scrolls by the
# wheel, the capture started in start mode 1, the region dragged over the
# page, the page scrolled down by hand notch by notch, then finished. The PNG
# must hold the page's rows, each once, in order (ScrollPage.exe --check).
# Saving by hand goes through the dialog; a region filling most of the screen
# (the preview inside it), notepad and regedit's list under its fixed header
# are scrolled to their end and checked against what the programs show.
# Then a click starts the automatic scrolling, which stops by itself at the
# configured maximum height, or a wheel outside the region stops it; a page
# that does not move ends the capture's scrolling with its tip; over a window
# of the configured class only every third notch is stitched.
# Usage: xlevel_scroll.sh PROGRAM.EXE SCROLLPAGE.EXE   (inside tools/testenv.sh)
set -euo pipefail
EXE="$1"
PAGE="$2"
NAME=xlevel_scroll
source "$(dirname "$0")/xlevel_lib.sh"
fresh_cache xscroll
toolbar_width() { xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p' | head -1; }
short_toolbar() { [ "$(toolbar_width)" = "$TOOLBAR_SCROLLWIDTH" ]; }

# The page: 800 x 800 at 300,100 (or at $3), of window class $1
# (ZtdScrollPage), the wheel handled as $2 says (scrolls, still, changing,
# sidebar).
PAGE_CLASS=ZtdScrollPage
open_page() {
  [ -z "${page:-}" ] || { kill "$page" 2>/dev/null || true; wait "$page" 2>/dev/null || true; }
  PAGE_CLASS="${1:-ZtdScrollPage}"
  local at="${3:-300 100 800 800}"
  if [ "${2:-scrolls}" = scrolls ]; then wine "$PAGE" $at "$PAGE_CLASS" & else wine "$PAGE" $at "$PAGE_CLASS" "$2" & fi
  page=$!
  wait_for shown '^ZtdScrollPage$' || fail "the page did not appear"
  sleep 0.3
}
CONFIG="$WINEPREFIX/drive_c/config.ini"
# The configuration below makes the log plain text, with debug lines, and
# large enough that it is not cut down during the test.
LOGFILE="$WINEPREFIX/drive_c/ProgramData/Orvane/quorabase/logs/ZTDScreenCapture.exe.log"
# Regedit outlives the `wine regedit` that started it (killing that process
# leaves regedit.exe running, holding the test's output open, and Wine's
# taskkill does not find it): end its process by its command line.
end_regedit() {
  pkill -f 'system32.regedit\.exe' 2>/dev/null || true
  for _ in $(seq 1 100); do pgrep -f 'system32.regedit\.exe' >/dev/null || return 0; sleep 0.05; done
}
# A failure shows what the program last logged.
trap 'status=$?; [ "$status" = 0 ] || { echo "$NAME: the program $(kill -0 ${pid:-0} 2>/dev/null && echo is running || echo has ended); what it last logged:"; tail -n 40 "$LOGFILE" 2>/dev/null | tr -d "\r"; } >&2
  kill ${page:-0} 2>/dev/null || true; kill ${pid:-0} 2>/dev/null || true; end_regedit; rm -f "$CONFIG" "$LOGFILE"' EXIT
rm -f "$LOGFILE"
# Every line of the program's log, and those written since `log_mark`.
log_lines() { [ -f "$LOGFILE" ] && tr -d '\r' < "$LOGFILE" || true; }
log_mark() { mark="$(log_lines | wc -l)"; }
log_since() { log_lines | tail -n +"$((mark + 1))"; }
# A line since the mark holds $1 (grep reads to the end: no broken pipe).
logged() { log_since | grep -F -- "$1" >/dev/null; }
# The configuration: debug lines in the log, and optionally a maximum height.
configure() {
  printf '[config]\r\ng_orvane_global_log_level=5\r\ng_orvane_log_encryped=0\r\ng_orvane_global_max_size=500000000\r\n' > "$CONFIG"
  [ -z "${1:-}" ] || printf 'tdr_screecapture_maxscrollheight=%s\r\n' "$1" >> "$CONFIG"
}
open_page
configure

# Which X window the pointer is over, and which lie on top, when the program
# does not answer the pointer: covered by another window, or not reading its input.
under_pointer() {
  local w; w="$(xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^WINDOW=//p')"
  echo "$NAME: under the pointer X window $w \"$(xdotool getwindowname "$w" 2>/dev/null)\", the capture's $(xdotool search --name '^TDRScreenCaptureWnd$' 2>/dev/null | tr '\n' ' ')- on top: $(xwininfo -root -children 2>/dev/null | grep -o '^ *0x[0-9a-f]* "[^"]*"' | head -4 | tr -s ' \n' ' ')"
}
covered() { ! under_pointer | grep -q '"TDRScreenCaptureWnd",'; }
# Starts a capture in start mode 1 and drags the region $REGION (left top
# right bottom; 400,200 - 1000,700, 600 x 500) over the page; waits for the
# long capture's toolbar and leaves the pointer in the middle (MIDX, MIDY).
# Under Wine without a window manager a program started a moment before
# (regedit) now and then comes up over the topmost capture window on the
# display, and takes the pointer's input; Windows keeps it below. Seen with
# builds from before and after the start-up work alike: the capture is then
# started once more, and the test says so.
REGION="400 200 1000 700"
start_capture() {
  local attempt
  for attempt in 1 2; do
    fresh_cache xscroll
    log_mark
    wine "$EXE" --cachepath="$CACHE_WIN" --startmode=1 --ignoreWndowClassName=";$PAGE_CLASS;" &
    pid=$!
    wait_for shown '^TDRScreenCaptureWnd$' || fail "the capture window did not appear"
    set -- $REGION
    MIDX=$((($1 + $3) / 2)) MIDY=$((($2 + $4) / 2))
    # A press the window gets before it takes the pointer's moves is lost:
    # the pointer is moved to the corner until the window has seen it there.
    seen_at() { xdotool mousemove $(($1 + 1)) "$2" mousemove "$1" "$2"; logged "capture event 9 at $1,$2 "; }
    if wait_for seen_at "$1" "$2"; then
      xdotool mousedown 1 mousemove "$MIDX" "$MIDY" mousemove "$3" "$4" mouseup 1
      wait_for short_toolbar && break
    fi
    under_pointer >&2
    [ "$attempt" = 1 ] && covered || fail "no long capture's toolbar after the drag (width $(toolbar_width))"
    echo "$NAME: another window came up over the capture window on the display (Wine); started again"
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  done
  sleep 0.5
  xdotool mousemove "$MIDX" "$MIDY"
}
# Presses the toolbar's finish button ($1: TOOLBAR_FINISH in the full layout,
# the short layout's by default) and checks the long image row by row; sets $height,
# $width and $png.
finish_and_check() {
  toolbar_click "${1:-SCROLLBAR_FINISH}"
  wait "$pid" || fail "the program ended with $?"
  png="$(ls "$CACHE"/*.png 2>/dev/null | head -1)"
  [ -n "$png" ] || fail "no PNG was written"
  # The capture rectangle starts 1 pixel inside the region: page column 101.
  wine "$PAGE" --check "$(winepath -w "$png")" 101 || fail "the long image is not the page"
  height="$(convert "$png" -format '%h' info:)"
  width="$(convert "$png" -format '%w' info:)"
}
# Clicks the toolbar's button $1 (a name of tools/toolbar_geometry.py --shell:
# SCROLLBAR_SAVE is the short layout's save button).
toolbar_click() {
  local geometry bx by x="$1_X" y="$1_Y"
  geometry="$(xdotool search --onlyvisible --name '^CaptureMenuWnd$' getwindowgeometry 2>/dev/null)"
  bx="$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\1/p' | head -1)"
  by="$(echo "$geometry" | sed -n 's/.*Position: \([0-9-]*\),\([0-9-]*\).*/\2/p' | head -1)"
  xdotool mousemove $((bx + ${!x})) $((by + ${!y})) click 1
}
# A tip box shows in the middle of the selection: a third of a line through
# its middle is black (the page's bands of random colours practically never are).
tip_shown() {
  local dark
  dark="$(import -window root -crop "101x1+$((${MIDX:-700} - 50))+${MIDY:-450}" -depth 8 txt:- 2>/dev/null | grep -o '^[0-9]*,[0-9]*: ([0-9]*,[0-9]*,[0-9]*' |
    awk -F'[(,]' '$3 + $4 + $5 <= 6 { n++ } END { print n + 0 }')"
  [ "$dark" -ge 30 ]
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
at_end() { log_since | grep -q 'scroll tip: 已滚动至底部$'; }
wait_long() { for _ in $(seq 1 1200); do if "$@"; then return 0; fi; sleep 0.05; done; return 1; }

# By hand: twelve notches down, then saved through the dialog (a path typed
# over the proposed name, Enter): the chosen file holds the long image.
start_capture
for _ in $(seq 1 12); do xdotool click 5; sleep 0.35; done
wait_for preview_settled || fail "the preview kept changing"
toolbar_click SCROLLBAR_SAVE
wait_for shown '^Save As$' || fail "no save dialog"
# Keys go to the window under the pointer (no window manager).
read -r dx dy dw dh < <(xdotool search --onlyvisible --name '^Save As$' getwindowgeometry 2>/dev/null |
  sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p; s/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' | paste -sd' ')
xdotool mousemove $((dx + dw / 2)) $((dy + dh / 2))
sleep 0.5
xdotool type --delay 20 'C:\xscroll\chosen.png'
xdotool key Return
wait "$pid" || fail "the program ended with $? after the save"
[ -f "$CACHE/chosen.png" ] || fail "the chosen file was not written ($(ls "$CACHE"))"
wine "$PAGE" --check "$(winepath -w "$CACHE/chosen.png")" 101 || fail "the saved file is not the long image of the page"
height="$(convert "$CACHE/chosen.png" -format '%h' info:)"
[ "$height" -gt 700 ] || fail "the saved long image is only $height rows high"
echo "xlevel_scroll: by hand, saved through the dialog: a long image of $height rows, every row the page's"

# A region that fills most of the screen, so the preview sits inside it,
# scrolled automatically to the page's end: every row of the page once, none
# of the preview's. A fixed strip at the page's left changes colour on the
# way (page columns up to 139): the edit hint is drawn for its two seconds.
open_page ZtdScrollPage sidebar "200 40 1500 1000"
REGION="300 80 1700 980"
start_capture
wait_for tip_shown || fail "no start tip in the large selection"
xdotool click 1
hint="截图完成后，支持编辑哦"
hint_drawn() { [ "$(log_since | grep 'scroll tip: ' | tail -1)" = "$(log_since | grep "scroll tip: $hint" | tail -1)" ] && tip_shown; }
wait_long hint_drawn || fail "the edit hint was not drawn ($(log_since | grep 'scroll tip' | tail -1))"
HINT_PICTURE="$(dirname "$EXE")/xlevel_scroll_edit_hint.png"
import -window root "$HINT_PICTURE"
sleep 1
hint_drawn || fail "the edit hint was taken away within a second"
wait_long at_end || fail "the automatic scrolling did not reach the page's end"
toolbar_click SCROLLBAR_FINISH
wait "$pid" || fail "the program ended with $?"
png="$(ls "$CACHE"/*.png | head -1)"
convert "$png" -crop +39+0 +repage "$CACHE/page.png"
result="$(wine "$PAGE" --check "$(winepath -w "$CACHE/page.png")" 140)" || fail "the long image of the large region is not the page: $result"
case "$result" in *"page rows 41..5938,"*) ;; *) fail "the large region's long image is not the whole page: $result" ;; esac
echo "xlevel_scroll: a large region with the preview inside, to the page's end: $result; edit hint in $HINT_PICTURE"
REGION="400 200 1000 700"
open_page

# Automatically, up to a maximum height of 2,000 rows; then in the editor the
# handles are dragged outwards (they stop at the image's columns), the thumb
# is dragged to the bottom and back, a press below the thumb pages down, and
# the editor's finish writes the whole long image.
configure 2000
start_capture
wait_for tip_shown || fail "no start tip in the selection"
xdotool click 1
wait_for no_tip || fail "the start tip stayed after the click"
wait_long logged "scroll tip: 已达最大长度，无法继续长截图" || fail "no maximum-height tip in the log"
wait_for tip_shown || fail "the maximum-height tip is not drawn"
toolbar_click SCROLLBAR_EDIT
wait_for logged "scroll editor " || fail "the editor did not open"
read -r ex ey ew eh iw ih < <(log_since | grep "scroll editor " | tail -1 |
  sed 's/.*scroll editor \([0-9]*\),\([0-9]*\) \([0-9]*\)x\([0-9]*\) on a long image of \([0-9]*\)x\([0-9]*\).*/\1 \2 \3 \4 \5 \6/')
vx=$((ex + 1)) vy=$((ey + 1)) vw=$((ew - 2)) vh=$((eh - 2))
thumb=$((vh * vh / ih))
wait_for shown '^CaptureMenuWnd$' || fail "no toolbar under the editor"
for handle in "$((ex + ew - 1)) 150" "$ex -150"; do
  set -- $handle
  y=$((ey + eh / 2))
  xdotool mousemove "$1" "$y" mousedown 1 mousemove $(($1 + $2 / 2)) "$y" mousemove $(($1 + $2)) "$y" mouseup 1
done
# One display row of the view against one row of the long image, away from
# the thumb and the handles.
view_row() { import -window root -crop "$((vw - 40))x1+$((vx + 10))+$((vy + $1))" -depth 8 rgb:- 2>/dev/null | md5sum; }
image_row() { convert "$png" -crop "$((vw - 40))x1+10+$1" -depth 8 rgb:- | md5sum; }
# The view's row $1 differs from $2 and stays as it is for 0.3 s.
row_moved() {
  local a b
  a="$(view_row "$1")"
  [ "$a" != "$2" ] || return 1
  sleep 0.3
  b="$(view_row "$1")"
  [ "$a" = "$b" ]
}
tx=$((vx + vw - 5))
before="$(view_row $((vh - 1)))"
xdotool mousemove "$tx" $((vy + thumb / 2)) mousedown 1 mousemove "$tx" $((vy + vh / 2)) mousemove "$tx" $((vy + vh + 200)) mouseup 1
wait_for row_moved $((vh - 1)) "$before" || fail "the thumb dragged down did not scroll the view"
at_bottom="$(view_row $((vh - 1)))"
before="$(view_row 0)"
xdotool mousemove "$tx" $((vy + vh - thumb / 2)) mousedown 1 mousemove "$tx" $((vy + vh / 2)) mousemove "$tx" $((vy - 200)) mouseup 1
wait_for row_moved 0 "$before" || fail "the thumb dragged up did not scroll the view"
at_top="$(view_row 0)"
xdotool mousemove "$tx" $((vy + vh - 20)) click 1
wait_for row_moved 0 "$at_top" || fail "a press below the thumb did not scroll the view"
paged="$(view_row 0)"
finish_and_check TOOLBAR_FINISH
configure
[ "$height" -gt 2000 ] && [ "$height" -le 2100 ] || fail "the automatic scrolling stopped at $height rows, not just past 2,000"
[ "$width" = "$iw" ] && [ "$height" = "$ih" ] || fail "the editor's result is ${width}x$height, not the long image's ${iw}x$ih"
[ "$at_bottom" = "$(image_row $((ih - 1)))" ] || fail "the thumb dragged down did not show the long image's last row"
[ "$at_top" = "$(image_row 0)" ] || fail "the thumb dragged up did not show the long image's first row"
[ "$paged" = "$(image_row "$vh")" ] || fail "a press below the thumb did not page down by the view's height"
echo "xlevel_scroll: automatically, $height rows, stopped at the maximum height; in the editor the handles kept the"
echo "xlevel_scroll: image's columns, the thumb reached both ends, a press below it paged down; every row the page's"

# A wheel outside the region stops the automatic scrolling, and the pause tip
# offers to go on; the long image keeps what was joined.
start_capture
xdotool click 1
wait_for no_tip || fail "the start tip stayed after the click"
wait_long logged "Combine Result:0" || fail "the automatic scrolling joined nothing"
xdotool mousemove 1050 650 click 5
wait_for logged "scroll tip: 已暂停，单击继续" || fail "no pause tip after a wheel outside the region"
xdotool mousemove 700 450
wait_for tip_shown || fail "the pause tip is not drawn"
wait_for preview_settled || fail "the automatic scrolling went on after a wheel outside the region"
finish_and_check
[ "$height" -lt 2000 ] || fail "the automatic scrolling went on to $height rows after a wheel outside the region"
echo "xlevel_scroll: a wheel outside the region stopped the automatic scrolling at $height rows"

# Over a window of the configured class (the default list) every third notch
# is stitched; the long image is still the page's rows.
open_page WeChatMainWndForPC
start_capture
for _ in $(seq 1 12); do xdotool click 5; sleep 0.35; done
wait_for preview_settled || fail "the preview kept changing"
finish_and_check
logged "Have config m_scrollStep = 3" || fail "the configured step was not taken"
processed="$(log_since | grep -c "checkRet = 1" || true)"
notches="$(log_since | grep -c "checkRet = " || true)"
[ "$notches" -ge 12 ] && [ "$processed" -eq $((notches / 3)) ] || fail "$processed of $notches notches stitched, not every third"
echo "xlevel_scroll: configured class, $processed of $notches notches stitched, $height rows, every row the page's"

# A page that does not move under the wheel: at the bottom from the start. A
# page whose content changes in place: nothing matches, an invalid region.
for kind in still changing; do
  open_page ZtdScrollPage "$kind"
  start_capture
  if [ "$kind" = still ]; then want="已位于底部区域，无法长截图"; else want="无效区域，不支持长截图"; fi
  # A notch at a time until the tip comes (notches during a step are swallowed).
  for _ in $(seq 1 40); do
    logged "scroll tip: $want" && break
    xdotool click 5
    for _ in $(seq 1 12); do logged "scroll tip: $want" && break; sleep 0.05; done
  done
  logged "scroll tip: $want" || fail "a $kind page: no tip \"$want\" ($(log_since | grep 'scroll tip' | tail -1))"
  xdotool mousemove 200 950 key Escape
  wait "$pid" || fail "Esc after the $kind page's tip: exit $?"
done
echo "xlevel_scroll: a still page and a changing page ended with their tips"

# Wine's notepad showing a 400-line file (every line distinct), a region of
# 1400 x 914 over its text from its first line (the preview inside), scrolled
# automatically to the end. Each 65-line part of the file shown alone in the
# same window gives the lines' pixels: the long image must be those parts one
# after the other, every line once, in order, then only blank rows (the view's
# rest under the last line).
NOTES="$WINEPREFIX/drive_c/ztd_notes"
rm -rf "$NOTES" && mkdir -p "$NOTES"
for i in $(seq 1 400); do printf 'Line %04d of the long file: %s\r\n' "$i" "$(echo "$i" | md5sum | cut -c1-$((i % 23 + 8)))"; done > "$NOTES/long.txt"
for v in "iWindowPosX 100" "iWindowPosY 0" "iWindowPosDX 1500" "iWindowPosDY 990"; do
  set -- $v
  wine reg add 'HKCU\Software\Microsoft\Notepad' /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1
done
kill "$page" 2>/dev/null || true
notepad_on() {
  wine notepad "C:\\ztd_notes\\$1" &
  page=$!
  wait_for shown "^$1 - Notepad\$" || fail "notepad did not show $1"
  sleep 1
}
parts=()
for part in $(seq 0 6); do
  sed -n "$((part * 65 + 1)),$((part * 65 + 65))p" "$NOTES/long.txt" > "$NOTES/part$part.txt"
  notepad_on "part$part.txt"
  lines=$(( part < 6 ? 65 : 10 ))
  import -window root -crop "1400x$((lines * 14))+161+46" +repage "$NOTES/part$part.png"
  parts+=("$NOTES/part$part.png")
  kill "$page"; wait "$page" 2>/dev/null || true
done
convert "${parts[@]}" -append "$NOTES/lines.png"
notepad_on long.txt
REGION="160 45 1562 961"
start_capture
wait_for tip_shown || fail "no start tip over notepad"
xdotool click 1
wait_long at_end || fail "notepad: the automatic scrolling did not reach the end ($(log_since | grep 'scroll tip' | tail -1))"
toolbar_click SCROLLBAR_FINISH
wait "$pid" || fail "the program ended with $?"
png="$(ls "$CACHE"/*.png | head -1)"
read -r width height < <(convert "$png" -format '%w %h\n' info:)
[ "$width" = 1400 ] && [ "$height" -gt 5600 ] && [ "$height" -lt 5628 ] || fail "notepad: the long image is ${width}x$height, not 400 lines and less than two blank ones ($png)"
differ="$(convert "$png" -crop 1400x5600+0+0 +repage "$NOTES/top.png" && compare -metric AE "$NOTES/top.png" "$NOTES/lines.png" null: 2>&1 || true)"
[ "$differ" = 0 ] || fail "notepad: $differ pixels of the long image are not the file's lines ($png)"
below="$(convert "$png" -crop "1400x$((height - 5600))+0+5600" +repage -format %c histogram:info:- | tr -d ' ')"
case "$below" in "$((1400 * (height - 5600))):"*'#FFFFFF'*) ;; *) fail "notepad: under the last line: $below" ;; esac
echo "xlevel_scroll: notepad, 400 lines scrolled automatically to the end: every line once, in order, then blank"

# Wine's regedit showing a key of 300 values (named with words, in the order
# regedit lists them), opened at that key: a region over its list view, the
# fixed header included and the scroll bar left out, scrolled automatically
# to the end. Keys holding 41 of the values each, shown alone in the same
# window, give the rows' pixels (after their own "(Default)" row): the long
# image must be the header and the "(Default)" row once, then those parts one
# after the other, every value once, in order, then only the list's white.
WORDS=(amber birch cedar delta ember fable grove harbor island jasper kettle lantern meadow nectar orchard pebble quartz river saddle timber)
REG="$WINEPREFIX/drive_c/ztd_values.reg"
values=()
for a in "${WORDS[@]}"; do for b in "${WORDS[@]:0:15}"; do values+=("\"$a $b\"=\"the $b of the $a\""); done; done
{
  # Each key made afresh: values left in the prefix by another run would be
  # listed too.
  printf 'REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\Software\\ZtdValues]\r\n\r\n[HKEY_CURRENT_USER\\Software\\ZtdValues]\r\n'
  printf '%s\r\n' "${values[@]}"
  for part in $(seq 1 7); do
    printf '\r\n[-HKEY_CURRENT_USER\\Software\\ZtdValues%d]\r\n\r\n[HKEY_CURRENT_USER\\Software\\ZtdValues%d]\r\n' "$part" "$part"
    printf '%s\r\n' "${values[@]:$((part * 41)):41}"
    for i in $(seq 10 51); do printf '"zulu %d"="filler"\r\n' "$i"; done
  done
} > "$REG"
wine regedit /s 'C:\ztd_values.reg' || fail "regedit did not import the values"
kill "$page" 2>/dev/null || true; wait "$page" 2>/dev/null || true
PROBE="$(dirname "$EXE")/WindowProbe.exe"
ROW=17
# Regedit opened at HKCU\Software\$1; sets the list view's client area
# (inside its 2-pixel border, left of its 17-pixel scroll bar) lx ly lw lh
# and the header's height hh, once the list's first rows are drawn and it
# stays as it is. Every key has more rows than the list shows: the scroll
# bar, and the header's end left of it, are the same in all.
regedit_at() {
  wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Applets\Regedit' /v LastKey /d "HKEY_CURRENT_USER\\Software\\$1" /f >/dev/null 2>&1
  wine regedit &
  page=$!
  wait_for shown '^Registry Editor$' || fail "regedit did not show $1"
  probed() {
    read -r lx ly lw lh < <(wine "$PROBE" RegEdit_RegEdit SysListView32 | tr -d '\r') &&
      read -r _ _ _ hh < <(wine "$PROBE" RegEdit_RegEdit SysHeader32 | tr -d '\r')
  }
  wait_for probed || fail "no list view with a header in regedit"
  lx=$((lx + 2)) ly=$((ly + 2)) lw=$((lw - 21)) lh=$((lh - 4))
  list_drawn() {
    local a b
    a="$(import -window root -crop "${lw}x$lh+$lx+$ly" -depth 8 rgb:- 2>/dev/null | md5sum)"
    sleep 0.4
    b="$(import -window root -crop "${lw}x$lh+$lx+$ly" -depth 8 rgb:- 2>/dev/null | md5sum)"
    [ "$a" = "$b" ] && [ "$(import -window root -crop "${lw}x$ROW+$lx+$((ly + hh + ROW))" -format %k info: 2>/dev/null)" -gt 1 ]
  }
  wait_for list_drawn || fail "regedit's list of $1 was not drawn"
}
regedit_at ZtdValues
import -window root -crop "${lw}x$((hh + 42 * ROW))+$lx+$ly" +repage "$NOTES/values0.png"
REGION="$((lx - 1)) $((ly - 1)) $((lx + lw + 1)) $((ly + lh + 1))"
start_capture
wait_for tip_shown || fail "no start tip over regedit's list"
xdotool click 1
wait_long at_end || fail "regedit: the automatic scrolling did not reach the end ($(log_since | grep 'scroll tip' | tail -1))"
toolbar_click SCROLLBAR_FINISH
wait "$pid" || fail "the program ended with $?"
kill "$page"; wait "$page" 2>/dev/null || true
end_regedit
parts=("$NOTES/values0.png")
while read -r part n; do
  regedit_at "ZtdValues$part"
  import -window root -crop "${lw}x$((n * ROW))+$lx+$((ly + hh + ROW))" +repage "$NOTES/values$part.png"
  parts+=("$NOTES/values$part.png")
  kill "$page"; wait "$page" 2>/dev/null || true
  end_regedit
done <<< $'1 41\n2 41\n3 41\n4 41\n5 41\n6 41\n7 13'
convert "${parts[@]}" -append "$NOTES/values.png"
rows=$((hh + ROW + 300 * ROW))
png="$(ls "$CACHE"/*.png | head -1)"
read -r width height < <(convert "$png" -format '%w %h\n' info:)
[ "$width" = "$lw" ] && [ "$height" -ge "$rows" ] && [ "$height" -lt $((rows + ROW)) ] || fail "regedit: the long image is ${width}x$height, not the header, 301 rows and less than one blank row ($png)"
differ="$(convert "$png" -crop "${lw}x$rows+0+0" +repage "$NOTES/top.png" && compare -metric AE "$NOTES/top.png" "$NOTES/values.png" null: 2>&1 || true)"
[ "$differ" = 0 ] || fail "regedit: $differ pixels of the long image are not the header and the values' rows ($png)"
if [ "$height" -gt "$rows" ]; then
  below="$(convert "$png" -crop "${lw}x$((height - rows))+0+$rows" +repage -format %c histogram:info:- | tr -d ' ')"
  case "$below" in "$((lw * (height - rows))):"*'#FFFFFF'*) ;; *) fail "regedit: under the last value: $below" ;; esac
fi
echo "xlevel_scroll: regedit's list, 300 values scrolled automatically to the end: ${width}x$height, the header's $hh rows once,"
echo "xlevel_scroll: then the 301 rows of $ROW, each once, in order, and $((height - rows)) rows of the list's white"
