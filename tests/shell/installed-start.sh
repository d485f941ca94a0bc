#!/usr/bin/env bash
# Installs the editor into a fresh prefix and starts the installed program
# from another folder under a private X server: the splash window must show
# the splash picture, and then the main window's tool buttons their icons.
# So the pictures are installed beside the program and found from there.
#
# Usage: installed-start.sh <build folder> <pictures folder> <work folder>
set -euo pipefail

build=${1:?usage: installed-start.sh <build folder> <pictures folder> <work folder>}
pictures=${2:?usage: installed-start.sh <build folder> <pictures folder> <work folder>}
work=${3:?usage: installed-start.sh <build folder> <pictures folder> <work folder>}

readonly NAMES=(splash iconopen iconsave iconycoord iconhertz iconblockr iconghost icondiacritix
  icontaraxacum1 iconcoaxial iconcorrupted iconabout1 iconbroken iconbadcopy iconamplifier iconoverdrive)
readonly LOAD_BUTTON_AREA="30x30+21+13"  # in the main window's content
readonly TIMEOUT=30                      # seconds, for each wait

xvfb_pid="" app_pid=""

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/pixelmoth.log" ] && tail -n 20 "$work/pixelmoth.log" >&2
  exit 1
}

# stop <pid>: ends one process this script started, by its id.
stop() {
  [ -n "$1" ] || return 0
  kill -TERM "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
trap 'stop "$app_pid"; stop "$xvfb_pid"' EXIT

# poll <what> <command...>: every 0.1 s until the command succeeds.
poll() {
  local what=$1 deadline=$((SECONDS + TIMEOUT))
  shift
  until "$@"; do
    [ -z "$app_pid" ] || kill -0 "$app_pid" 2>/dev/null || fail "pixelmoth ended while waiting for $what"
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${TIMEOUT}s"
    sleep 0.1
  done
}

# window_with <title regex> <width>x<height>: the first visible such window.
window_with() {
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    [ "$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/^ *Geometry: //p')" = "$2" ] &&
      echo "$id" && return 0
  done
  return 1
}

# shows <window> <expected picture>: the window's content is the picture.
shows() {
  timeout 10 import -window "$1" "$work/shot.png" 2>/dev/null || return 1
  [ "$(compare -metric AE "$work/shot.png" "$2" null: 2>&1 || true)" = "0" ]
}

# has_light_pixels <window> <area>: something light is drawn there (the
# buttons themselves are dark grey).
has_light_pixels() {
  timeout 10 import -window "$1" "$work/shot.png" 2>/dev/null || return 1
  local light
  light=$(convert "$work/shot.png" -crop "$2" -colorspace Gray -threshold 70% -format '%[fx:mean*w*h]' info:)
  [ "${light%.*}" -ge 20 ]
}

for tool in cmake Xvfb xdotool import compare convert timeout; do
  command -v "$tool" >/dev/null || fail "$tool is not installed"
done
rm -rf "$work"
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || fail "cmake --install failed"
program="$work/prefix/bin/pixelmoth"
[ -x "$program" ] || fail "no program at $program"
for name in "${NAMES[@]}"; do
  [ -s "$work/prefix/bin/resources/$name.png" ] || fail "$name.png is not installed beside the program"
done

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
poll "display from Xvfb" grep -sqE '^[0-9]+$' "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"

(
  cd /
  export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/runtime"
  exec "$program"
) >"$work/pixelmoth.log" 2>&1 &
app_pid=$!

poll "splash window" window_with '^Untitled$' 600x400 >/dev/null
splash=$(window_with '^Untitled$' 600x400)
poll "splash picture in the splash window" shows "$splash" "$pictures/splash.png"
echo "The splash window shows the splash picture."

poll "main window" window_with '^Pixelmoth$' 1000x700 >/dev/null
main=$(window_with '^Pixelmoth$' 1000x700)
poll "icon on the load button" has_light_pixels "$main" "$LOAD_BUTTON_AREA"
echo "The load button shows its icon."
echo "PASS"
