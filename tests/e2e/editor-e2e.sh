#!/usr/bin/env bash
# Drives the built editor as a person would, under a private X server: waits
# for the splash and the main window, loads a picture through the open
# dialog, previews an effect, moves the slider, applies, saves through the
# save dialog and checks the written file. Windows are found by title and
# size; every wait is a bounded poll. Leaves the fixture, the saved file, the
# logs and a screenshot of the preview in the work folder.
#
# The editor runs in the work folder with fresh toolkit settings, so nothing
# of an earlier session or of the user's desktop reaches it; the paths are
# typed out in full, as a person would.
#
# Usage: editor-e2e.sh <pixelmoth executable> <work folder>
set -euo pipefail

program=${1:?usage: editor-e2e.sh <pixelmoth executable> <work folder>}
work=${2:?usage: editor-e2e.sh <pixelmoth executable> <work folder>}

# Control centres in the main window's content (its layout at 1000 x 700).
readonly LOAD_BUTTON=(36 28)
readonly SAVE_BUTTON=(36 66)
readonly FX3_BUTTON=(36 180)       # Blockr: changes whole blocks, plainly visible
readonly SLIDER_RIGHT=(265 16)     # on the groove right of the thumb: one page step up
readonly APPLY_BUTTON=(327 15)
# Screen areas of the main window, as ImageMagick read geometries.
readonly CANVAS_AREA="910x647+71+37"
readonly TOP_BAR_AREA="380x32+60+0"   # effect name, slider, Apply, Cancel

readonly FIXTURE_SIZE="640x480"
# JPEG at quality 100 keeps every pixel of the fixture within 2 %; an applied
# effect must move at least this share of the pixels by more than 5 %.
readonly DIFF_FUZZ="5%"
readonly MIN_CHANGED_PIXELS=$((640 * 480 / 100))

readonly START_TIMEOUT=30   # seconds, for the X server and the splash
readonly STEP_TIMEOUT=15    # seconds, for each later step

# shellcheck source=../support/x-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/x-session.sh"

# Window ids, found by find_into.
splash="" main="" open_dialog="" save_dialog=""

# window_titled <title regex>: prints the first visible window with that title.
window_titled() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 | grep .
}

no_window_titled() { ! window_titled "$1" >/dev/null; }

title_is() {
  local title
  title=$(xdotool getwindowname "$1" 2>/dev/null) || title=""
  fail_detail="the title is \"$title\""
  [ "$title" = "$2" ] && fail_detail=""
}

# click <window> <x> <y>: the left button at a point of the window's content.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# type_into_dialog <dialog> <text>: gives the dialog the keyboard (there is no
# window manager to do it), replaces its file name with text and confirms.
type_into_dialog() {
  local dialog=$1 text=$2
  xdotool windowfocus "$dialog"
  poll "$STEP_TIMEOUT" "keyboard focus on the dialog" focus_is "$dialog"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --clearmodifiers --delay 10 "$text"
  xdotool key --clearmodifiers Return
}

focus_is() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

shot() { import -window "$1" "$2"; }

# changed_pixels <a> <b> <area>: pixels of the area that differ by more than
# the fuzz.
changed_pixels() {
  local out
  out=$(compare -fuzz "$DIFF_FUZZ" -metric AE "$1[$3]" "$2[$3]" null: 2>&1) || true
  out=${out%% *}
  [[ $out =~ ^[0-9.e+]+$ ]] || { echo "compare failed: $out" >&2; return 2; }
  printf '%.0f\n' "$out"
}

# area_differs <window> <reference shot> <area> <new shot>: the window's
# area, shot anew, differs from the reference.
area_differs() {
  shot "$1" "$4" && [ "$(changed_pixels "$2" "$4" "$3")" -gt 0 ]
}

# area_matches <window> <reference shot> <area> <new shot>
area_matches() {
  shot "$1" "$4" && [ "$(changed_pixels "$2" "$4" "$3")" -eq 0 ]
}

# --- Setting up -------------------------------------------------------------

require_tools Xvfb xdotool import identify compare convert
[ -x "$program" ] || fail "no program at $program"
program=$(realpath "$program")   # the editor starts in the work folder

mkdir -p "$work"
work=$(cd "$work" && pwd)
rm -rf "$work"/*.png "$work"/*.jpeg "$work"/*.log "$work"/display "$work"/runtime "$work"/config
fixture_name=fixture.png
output_name=glitched.jpeg
fixture="$work/$fixture_name"
output="$work/$output_name"
screenshot="$work/preview-screenshot.png"

# A photo-like picture: soft colour clouds with fine grain.
convert -seed 7 -size "$FIXTURE_SIZE" plasma:orange-navy -depth 8 "$fixture"

start_x_server "$START_TIMEOUT"
echo "X server on $DISPLAY (pid $xvfb_pid)"

# --- Start-up ---------------------------------------------------------------

start_editor "$program" "$work"
echo "pixelmoth started (pid $app_pid)"

find_into splash "$START_TIMEOUT" "splash window 600x400 titled \"Untitled\"" window_with '^Untitled$' 600x400
echo "Splash window $splash"
find_into main "$STEP_TIMEOUT" "main window 1000x700 titled \"Pixelmoth\"" window_with '^Pixelmoth$' 1000x700
echo "Main window $main"
poll "$STEP_TIMEOUT" "closing of the splash window" no_window_titled '^Untitled$'
shot "$main" "$work/empty.png"

# --- Loading ----------------------------------------------------------------

click "$main" "${LOAD_BUTTON[@]}"
find_into open_dialog "$STEP_TIMEOUT" "open dialog" window_titled '^Open$'
type_into_dialog "$open_dialog" "$fixture"
poll "$STEP_TIMEOUT" "closing of the open dialog" no_window_titled '^Open$'
poll "$STEP_TIMEOUT" "title \"Mothwick - $fixture_name\"" title_is "$main" "Mothwick - $fixture_name"
poll "$STEP_TIMEOUT" "picture on the canvas" area_differs "$main" "$work/empty.png" "$CANVAS_AREA" "$work/loaded.png"
echo "Loaded: $(xdotool getwindowname "$main")"

# --- An effect, the slider, Apply ------------------------------------------

click "$main" "${FX3_BUTTON[@]}"
poll "$STEP_TIMEOUT" "effect preview on the canvas" \
  area_differs "$main" "$work/loaded.png" "$CANVAS_AREA" "$work/preview.png"
poll "$STEP_TIMEOUT" "effect controls in the top bar" \
  area_differs "$main" "$work/loaded.png" "$TOP_BAR_AREA" "$work/preview.png"
click "$main" "${SLIDER_RIGHT[@]}"
poll "$STEP_TIMEOUT" "new preview after moving the slider" \
  area_differs "$main" "$work/preview.png" "$CANVAS_AREA" "$screenshot"
echo "Preview shown; screenshot kept at $screenshot"
click "$main" "${APPLY_BUTTON[@]}"
poll "$STEP_TIMEOUT" "effect controls hidden after Apply" \
  area_matches "$main" "$work/loaded.png" "$TOP_BAR_AREA" "$work/applied.png"

# --- Saving -----------------------------------------------------------------

click "$main" "${SAVE_BUTTON[@]}"
find_into save_dialog "$STEP_TIMEOUT" "save dialog" window_titled '^Save As$'
type_into_dialog "$save_dialog" "$output"
poll "$STEP_TIMEOUT" "closing of the save dialog" no_window_titled '^Save As$'
poll "$STEP_TIMEOUT" "saved file $output" test -s "$output"
kill -0 "$app_pid" 2>/dev/null || fail "pixelmoth ended after saving"

# --- The written file --------------------------------------------------------

written=$(identify -format '%m %wx%h' "$output" 2>&1) || fail "saved file is no picture: $written"
[ "$written" = "JPEG $FIXTURE_SIZE" ] || fail "saved file is \"$written\", not \"JPEG $FIXTURE_SIZE\""
changed=$(changed_pixels "$fixture" "$output" "$FIXTURE_SIZE+0+0") || fail "cannot compare the saved file"
[ "$changed" -ge "$MIN_CHANGED_PIXELS" ] ||
  fail "saved file is nearly the fixture: $changed pixels changed, fewer than $MIN_CHANGED_PIXELS"
echo "Saved $written with $changed of $((640 * 480)) pixels changed."
echo "PASS"
