#!/bin/sh
# The game program at a desktop's edges. nodisplay: with no display it says so in one line and
# ends with status 1. xvfb: under a virtual X server a SIGTERM ends a game (status 0, replay
# and settings written), the title with its question box up (status 0, settings written) and a
# fatal message box (status 1), each at once.
# Usage: signals.sh QUADRIX nodisplay|xvfb
set -u
game=$1
tmp=$(mktemp -d)
xvfb=
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  [ -f "$tmp/err" ] && sed 's/^/  stderr: /' "$tmp/err"
  exit 1
}
# Waits up to ten seconds for a command to succeed; a hang fails instead of blocking ctest.
await() {
  i=0
  until "$@"; do
    i=$((i + 1))
    [ $i -le 200 ] || return 1
    sleep 0.05
  done
}

if [ "$2" = nodisplay ]; then
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$game" 2>&1)
  status=$?
  [ $status -eq 1 ] || fail "status $status, said: $out"
  case $out in
    "quadrix: no display: DISPLAY and WAYLAND_DISPLAY are not set; "*) ;;
    *) fail "said: $out" ;;
  esac
  [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "more than one line: $out"
  echo "no display: status 1, $out"
  exit 0
fi

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# Xvfb takes a free display and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
await test -s "$tmp/display" || fail "Xvfb did not start"
DISPLAY=:$(cat "$tmp/display")
export DISPLAY
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data" QUADRIX_FIRST_FRAME_STAMP=1
ini="$XDG_CONFIG_HOME/quadrix/Quadrix_1_1.ini"

# Runs the program in the background with a stored mouse value, written as another system would.
start() {
  rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  mkdir -p "$(dirname "$ini")"
  printf '[Main]\r\nMouse=37\r\n' >"$ini"
  "$@" 2>"$tmp/err" &
  pid=$!
  await grep -qs "first frame" "$tmp/err" || fail "$*: no frame shown"
}
# Sends SIGTERM and checks the exit status; prints how long the program took to end.
term() {
  before=$(date +%s%N)
  kill -TERM "$pid"
  # A program that does not end is killed after ten seconds, and fails.
  (sleep 10 && kill -KILL "$pid") >/dev/null 2>&1 &
  watchdog=$!
  wait "$pid"
  status=$?
  pkill -P "$watchdog"
  kill "$watchdog" 2>/dev/null
  pid=
  echo "$1: ended $(( ($(date +%s%N) - before) / 1000000 )) ms after SIGTERM, status $status"
  [ $status -eq "$2" ] || fail "$1: status $status, not $2"
}
saved() {
  [ "$(cat "$ini")" = "$(printf '[Main]\nMouse=37')" ] || fail "$1: settings left: $(cat "$ini")"
}
box_up() { pgrep -P "$pid" >/dev/null; }  # SDL shows its box from a process of its own

start "$game" --mode cmdCasual
term "a game" 0
saved "a game"
grep -q "^end passes " "$XDG_DATA_HOME/quadrix/last.qxr" || fail "a game: no replay kept"

start "$game"
# Escape asks the question once the title's loop runs: asked again until the box is there.
ask() { box_up || { xdotool key Escape && sleep 0.2 && box_up; }; }
await ask || fail "the title's question did not come up"
term "the title's question" 0
saved "the title's question"

# Without its pictures the program stops with a message box.
mkdir -p "$tmp/bin"
cp "$game" "$tmp/bin/quadrix"
rm -rf "$XDG_CONFIG_HOME"
"$tmp/bin/quadrix" 2>"$tmp/err" &
pid=$!
await box_up || fail "no fatal message box"
term "a fatal message box" 1
grep -qs "Can't find file" "$tmp/err" || fail "the fatal message was not said"
