# Helpers of the X-level tests; sourced after NAME is set.
# The toolbar's geometry (TOOLBAR_WIDTH, TOOLBAR_FINISH_X ...), from its layout.
eval "$(python3 "$(dirname "${BASH_SOURCE[0]}")/../../tools/toolbar_geometry.py" --shell)"
fail() { echo "$NAME: $*" >&2; exit 1; }
# The colour of one display pixel as rrggbb.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | head -1 | tr -d '#'; }
# Polls "$@" every 50 ms for up to 10 s.
wait_for() { for _ in $(seq 1 200); do if "$@"; then return 0; fi; sleep 0.05; done; return 1; }
# A visible window of this name; windows that vanish while xdotool walks the
# tree make one search fail (BadWindow), so it is simply asked again.
shown() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null)" ]; }
# A fresh folder for the images of one run: CACHE (Unix) and CACHE_WIN.
fresh_cache() {
  CACHE_WIN="C:\\$1"
  CACHE="$WINEPREFIX/drive_c/$1"
  rm -rf "$CACHE"
  mkdir -p "$CACHE"
}
