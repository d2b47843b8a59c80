#!/bin/sh
# The game program at a desktop's edges. nodisplay: without a display it says so in one line,
# status 1. xvfb: under a virtual X server SIGTERM ends a game (status 0, replay and settings
# written), the title's question box (status 0, settings written) and a fatal message box
# (status 1). Usage: signals.sh QUADRIX nodisplay|xvfb
set -u
game=$1 tmp=$(mktemp -d) xvfb= pid=
trap '[ -n "$pid" ] && kill -KILL $pid; [ -n "$xvfb" ] && kill $xvfb; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; sed 's/^/  stderr: /' "$tmp/err" 2>/dev/null; exit 1; }
# Up to ten seconds for a command to succeed: a hang fails instead of blocking ctest.
await() { i=0; until "$@"; do i=$((i + 1)); [ $i -le 200 ] || return 1; sleep 0.05; done; }

if [ "$2" = nodisplay ]; then
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 10 "$game" 2>&1)
  [ $? -eq 1 ] || fail "status not 1: $out"
  case $out in "quadrix: no display: DISPLAY and WAYLAND_DISPLAY are not set; "*) ;; *) fail "$out" ;; esac
  [ "$(printf '%s\n' "$out" | wc -l)" -eq 1 ] || fail "more than one line: $out"
  exit 0
fi

for tool in Xvfb xdotool; do
  command -v $tool >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
xvfb=$!
await test -s "$tmp/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$tmp/display") XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
export QUADRIX_FIRST_FRAME_STAMP=1
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
ini="$XDG_CONFIG_HOME/quadrix/Quadrix_1_1.ini"

# The program in the background, with a mouse value stored as another system writes it.
start() {
  rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" && mkdir -p "${ini%/*}"
  printf '[Main]\r\nMouse=37\r\n' >"$ini"
  "$@" 2>"$tmp/err" &
  pid=$!
}
# SIGTERM, then the exit status wanted; says how long the program took to end.
term() {
  before=$(date +%s%N)
  kill -TERM $pid
  (sleep 10 && kill -KILL $pid) >/dev/null 2>&1 &
  watchdog=$!
  wait $pid
  status=$? pid=
  pkill -P $watchdog
  echo "$1: ended $((($(date +%s%N) - before) / 1000000)) ms after SIGTERM, status $status"
  [ $status -eq "$2" ] || fail "$1: status $status, not $2"
}
saved() { [ "$(cat "$ini")" = "$(printf '[Main]\nMouse=37')" ] || fail "$1: settings: $(cat "$ini")"; }
framed() { grep -qs "first frame" "$tmp/err"; }
box_up() { pgrep -P $pid >/dev/null; }  # SDL shows its boxes from a process of their own
# Escape asks the title's question once the title's loop runs: asked until the box is up.
ask() { box_up || { xdotool key Escape && sleep 0.2 && box_up; }; }

start "$game" --mode cmdCasual
await framed || fail "no frame shown"
term "a game" 0
saved "a game"
grep -q "^end passes " "$XDG_DATA_HOME/quadrix/last.qxr" || fail "a game: no replay kept"

start "$game"
await framed && await ask || fail "the title's question did not come up"
term "the title's question" 0
saved "the title's question"

# Without its pictures the program stops with a message box.
mkdir -p "$tmp/bin" && cp "$game" "$tmp/bin/quadrix"
start "$tmp/bin/quadrix"
await box_up || fail "no fatal message box"
term "a fatal message box" 1
grep -qs "Can't find file" "$tmp/err" || fail "the fatal message was not said"
