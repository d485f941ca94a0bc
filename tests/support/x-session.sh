# The editor under a private X server, for the test scripts that drive it:
# sourced after the script has set `work`, its work folder. Ends the editor
# and the X server, by their ids, when the script exits.

xvfb_pid=""
app_pid=""
fail_detail=""   # what the last check saw, told with a failure

fail() {
  echo "FAIL: $*${fail_detail:+ ($fail_detail)}" >&2
  if [ -n "${DISPLAY:-}" ] && [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    import -window root "$work/failure-screen.png" 2>/dev/null &&
      echo "Screen at the failure: $work/failure-screen.png" >&2
  fi
  local log
  for log in pixelmoth xvfb; do
    if [ -s "$work/$log.log" ]; then
      echo "--- $log output (last lines) ---" >&2
      tail -n 20 "$work/$log.log" >&2
    fi
  done
  exit 1
}

# require_tools <tool...>: each is on the PATH.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
  done
}

# stop <pid>: ends one process this script started, by its id.
stop() {
  local pid=$1 i
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null || true
}

cleanup() {
  local status=$?
  stop "$app_pid"
  stop "$xvfb_pid"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# poll <seconds> <what> <command...>: runs the command every 0.1 s until it
# succeeds; fails the test with <what> when the time is up or the editor has
# ended.
poll() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while true; do
    "$@" && return 0
    if [ -n "$app_pid" ] && ! kill -0 "$app_pid" 2>/dev/null; then
      app_pid_status=0
      wait "$app_pid" || app_pid_status=$?
      app_pid=""
      fail "pixelmoth ended (status $app_pid_status) while waiting for $what"
    fi
    if [ -n "$xvfb_pid" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
      xvfb_pid=""
      fail "the X server ended while waiting for $what"
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "no $what within ${seconds}s"
    sleep 0.1
  done
}

# find_into <variable> <seconds> <what> <finder...>: waits for a window and
# stores the id the finder printed when it succeeded (asked once more, a
# short-lived window such as the splash may already be gone).
find_into() {
  local var=$1 seconds=$2 what=$3
  shift 3
  poll "$seconds" "$what" store_output "$var" "$@"
}

# store_output <variable> <command...>: runs the command and, when it
# succeeds, stores what it printed.
store_output() {
  local out
  out=$("${@:2}") || return 1
  printf -v "$1" '%s' "$out"
}

# window_with <title regex> <width>x<height>: prints the first visible window
# with that title and size.
window_with() {
  local title=$1 size=$2 id
  for id in $(xdotool search --onlyvisible --name "$title" 2>/dev/null); do
    if [ "$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/^ *Geometry: //p')" = "$size" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}

# start_x_server <seconds>: a private X server on a free display, which it
# reports on descriptor 3; exports DISPLAY once the server answers.
start_x_server() {
  local seconds=$1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  poll "$seconds" "display from Xvfb" display_reported
  DISPLAY=":$(head -n 1 "$work/display")"
  export DISPLAY
  poll "$seconds" "answer from the X server on $DISPLAY" display_answers
}
display_reported() { grep -qE '^[0-9]+$' "$work/display" 2>/dev/null; }
display_answers() { xdotool getdisplaygeometry >/dev/null 2>&1; }

# start_editor <program> <folder>: starts the program in that folder with
# fresh toolkit settings, so nothing of an earlier session or of the user's
# desktop reaches it; its output goes to pixelmoth.log.
start_editor() {
  local program=$1 folder=$2
  mkdir -p "$work/runtime" "$work/config"
  chmod 700 "$work/runtime"
  (
    cd "$folder"
    export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
    exec "$program"
  ) >"$work/pixelmoth.log" 2>&1 &
  app_pid=$!
}
