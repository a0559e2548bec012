#!/usr/bin/env bash
# CPU used by the real program while it waits for the player's move: starts the
# Release build under a private Xvfb, opens Play > New Game with the mouse,
# waits for the deal and Thaddock's turn, then reads the process's CPU time over
# an idle stretch. Needs xvfb and xdotool.
#   bench/wait_cpu.sh [PROGRAM] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/release/bin/cardovia}
seconds=${2:-10}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "wait_cpu: $tool is missing (apt-get install xvfb xdotool)" >&2; exit 1; }
done
[ -x "$program" ] || { echo "wait_cpu: build the program first ($program)" >&2; exit 1; }

work=$(mktemp -d)
display=":$((150 + RANDOM % 50))"
cp "$(dirname "$program")"/* "$work/"
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
mkdir -m 700 "$work/run"
cleanup() { kill "${app:-}" "$xvfb" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
sleep 1
DISPLAY=$display XDG_RUNTIME_DIR="$work/run" HOME="$work" "$work/cardovia" >/dev/null 2>&1 &
app=$!
sleep 2
# The Play menu is the first entry of the menu bar; New Game its first item.
DISPLAY=$display xdotool mousemove 22 8 click 1
sleep 0.5
DISPLAY=$display xdotool mousemove 66 29 click 1
sleep 12  # the deal and, when Thaddock plays first, his turn
ticks() { awk '{print $14 + $15}' "/proc/$app/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "CPU while waiting %d s for the player: %.2f %% of one core (%d ticks)\n", s, 100 * t / hz / s, t }'
