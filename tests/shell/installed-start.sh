#!/usr/bin/env bash
# Installs the editor into a fresh prefix, moves the prefix elsewhere and
# starts the installed program, through a link, from / under a private X
# server: the splash window must show the splash picture, then the main
# window's tool buttons their icons, and both windows the application icon.
# So the program's files are installed under share/ and found from the
# program's own place.
#
# Usage: installed-start.sh <build folder> <pictures folder> <application id> <work folder>
set -euo pipefail

readonly USAGE="usage: installed-start.sh <build folder> <pictures folder> <application id> <work folder>"
build=${1:?$USAGE}
pictures=${2:?$USAGE}
app_id=${3:?$USAGE}
work=${4:?$USAGE}

readonly ICON_SIZES=(16 24 32 48 64 128 256)
readonly LOAD_BUTTON_AREA="30x30+21+13"  # in the main window's content
readonly TIMEOUT=30                      # seconds, for each wait

# shellcheck source=../support/x-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/x-session.sh"

# Window ids, found by find_into.
splash="" main=""

# shows <window> <expected picture>: the window's content is the picture.
shows() {
  timeout 10 import -window "$1" "$work/shot.png" 2>/dev/null || return 1
  [ "$(compare -metric AE "$work/shot.png" "$2" null: 2>&1 || true)" = "0" ]
}

# has_app_icon <window>: the window carries the application icon at every
# size, for the window manager and the task bar.
has_app_icon() {
  local icons size
  icons=$(xprop -len 100000000 -id "$1" _NET_WM_ICON 2>/dev/null) || return 1
  for size in "${ICON_SIZES[@]}"; do
    grep -qF "Icon ($size x $size)" <<<"$icons" || return 1
  done
}

# has_light_pixels <window> <area>: something light is drawn there (the
# buttons themselves are dark grey).
has_light_pixels() {
  timeout 10 import -window "$1" "$work/shot.png" 2>/dev/null || return 1
  local light
  light=$(convert "$work/shot.png" -crop "$2" -colorspace Gray -threshold 70% -format '%[fx:mean*w*h]' info:)
  [ "${light%.*}" -ge 20 ]
}

require_tools cmake Xvfb xdotool xprop import compare convert identify timeout
rm -rf "$work"
mkdir -p "$work"

# Installed in one place and moved to another, so nothing may depend on the
# prefix it was installed into.
cmake --install "$build" --prefix "$work/installed" >"$work/install.log" || fail "cmake --install failed"
mv "$work/installed" "$work/moved"
prefix="$work/moved"
program="$prefix/bin/pixelmoth"
[ -x "$program" ] || fail "no program at $program"
[ "$(ls -A "$prefix/bin")" = "pixelmoth" ] || fail "bin/ holds more than the program: $(ls -A "$prefix/bin" | xargs)"
for picture in "$pictures"/*.png; do
  name=$(basename "$picture")
  [ -s "$prefix/share/pixelmoth/$name" ] || fail "$name is not installed in share/pixelmoth"
done
entry="$prefix/share/applications/$app_id.desktop"
[ -s "$entry" ] || fail "no desktop entry at $entry"
for size in "${ICON_SIZES[@]}"; do
  icon="$prefix/share/icons/hicolor/${size}x$size/apps/$app_id.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x$size" ] ||
    fail "no ${size}x$size application icon at $icon"
done

start_x_server "$TIMEOUT"

# Started through a link in a folder of its own, as from a folder on the
# PATH: the files are found beside the program itself, not beside the link.
mkdir -p "$work/on-path"
ln -s "$program" "$work/on-path/pixelmoth"
start_editor "$work/on-path/pixelmoth" /

find_into splash "$TIMEOUT" "splash window" window_with '^Untitled$' 600x400
poll "$TIMEOUT" "application icon on the splash window" has_app_icon "$splash"
poll "$TIMEOUT" "splash picture in the splash window" shows "$splash" "$pictures/splash.png"
echo "The splash window shows the splash picture."

find_into main "$TIMEOUT" "main window" window_with '^Pixelmoth$' 1000x700
poll "$TIMEOUT" "icon on the load button" has_light_pixels "$main" "$LOAD_BUTTON_AREA"
echo "The load button shows its icon."
poll "$TIMEOUT" "application icon on the main window" has_app_icon "$main"
# On X11 the task bar finds the desktop entry by the window's class.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
xprop -id "$main" WM_CLASS | grep -qF "\"$wm_class\"" ||
  fail "the main window's class ($(xprop -id "$main" WM_CLASS)) is not the desktop entry's $wm_class"
echo "Both windows carry the application icon, and the task bar can match them to the desktop entry."
echo "PASS"
