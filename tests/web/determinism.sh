#!/usr/bin/env bash
# The node build of quadrix-sim plays bit for bit as the native one: every kept replay, every
# mode at both levels (with and without "Ouch") with two option sets on two screens, steered by
# mouse and stick in every direction, and a fixed-seed soak. Summaries are compared without
# their CPU times. Usage: tests/web/determinism.sh NATIVE-BUILD WEB-BUILD [PASSES]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
NATIVE="$1/quadrix-sim" WEB="$2/quadrix-sim.js" PASSES="${3:-300}"
OUT="$(mktemp -d)"
trap 'rm -rf "$OUT"' EXIT
cases=0 differ=0

# One case: quadrix-sim's arguments, where @ stands for the run's own trace file.
both() {
  local name="$1"
  shift
  cases=$((cases + 1))
  for build in native web; do
    local run=("$NATIVE") && [ "$build" = web ] && run=(node "$WEB")
    {
      status=0
      "${run[@]}" "${@//@/$OUT/$name.$build.trace}" >"$OUT/$name.$build.out" \
        2>"$OUT/$name.$build.err" || status=$?
      sed -i -E 's/"(cpuPerPassMs|setupCpuMsWorst)":\{[^}]*\},?//' "$OUT/$name.$build.out"
      echo "exit $status" >>"$OUT/$name.$build.out"
    } &
  done
  wait
  for what in out err trace; do
    [ -e "$OUT/$name.native.$what" ] || continue
    cmp -s "$OUT/$name.native.$what" "$OUT/$name.web.$what" && continue
    differ=$((differ + 1))
    echo "node and native differ: quadrix-sim $* ($what):" >&2
    diff "$OUT/$name.native.$what" "$OUT/$name.web.$what" | head -n 4 >&2
  done
  return 0
}

for replay in "$ROOT"/tests/data/replays/*.qxr; do
  both "$(basename "$replay" .qxr)" replay "$replay" --trace @
done

# The mouse pushed from the centre at many angles and the stick swept across its range.
for screen in 640x480 1280x1024; do
  w=${screen%x*} h=${screen#*x}
  {
    echo "joystick 0 plug caps 112 buttons 0"
    for ((p = 16; p < PASSES; p += 6)); do
      echo "at pass $p cursor $((w / 2 + p * 37 % 121 - 60)) $((h / 2 + p * 53 % 121 - 60))"
      echo "at pass $((p + 3)) joystick 0 x $((p * 997 % 65536)) y $((p * 1499 % 65536))"
    done
  } >"$OUT/input-$screen"
done
modes=$("$NATIVE" play --help | grep -o 'cmd[A-Za-z]*' | sort -u)
for mode in $modes; do
  for level in "" --ouch; do
    for options in "" "--anarchy --solid --pieces --speed"; do
      for screen in 640x480 1280x1024; do
        # shellcheck disable=SC2086 # the options are words of their own
        both "$mode$level${options:+-all}-$screen" play --mode "$mode" $level $options \
          --screen "$screen" --passes "$PASSES" --input "$OUT/input-$screen" --trace @
      done
    done
  done
done

both soak soak --passes 3000 --seed 16

if [ "$differ" -ne 0 ]; then
  echo "$differ of $cases cases differ between node and native" >&2
  exit 1
fi
echo "node and native play the same: $cases cases ($(echo "$modes" | wc -w) modes, $PASSES passes each)"
