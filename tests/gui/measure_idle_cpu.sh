#!/usr/bin/env bash
# Prints the processor time (user + system) an idle Velmora uses in its own Xvfb server over a
# stretch of wall time, counted from the moment its window is shown. Not a test: a figure for
# the developer (the game should sleep between events; the aim is well under 0.2 s in 20 s).
#
# Usage: tests/gui/measure_idle_cpu.sh [PATH/TO/Velmora] [SECONDS]
#        default: build/release/game/Velmora, 20 seconds
set -euo pipefail

exe=${1:-build/release/game/Velmora}
seconds=${2:-20}
[[ -x $exe ]] || { echo "not built: $exe" >&2; exit 1; }

work=$(mktemp -d)
chmod 700 "$work"
xvfb_pid=""
game_pid=""
cleanup() {
  [[ -n $game_pid ]] && kill -9 "$game_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb writes its display number to fd 3 once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$work/display")"

env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u VELMORA_BACKEND \
  XDG_RUNTIME_DIR="$work" VELMORA_DRIVES= VELMORA_SCALE=1 "$exe" >/dev/null 2>"$work/stderr" &
game_pid=$!

window=""
for _ in $(seq 300); do
  window=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | head -n1 || true)
  [[ -n $window ]] && break
  kill -0 "$game_pid" 2>/dev/null || { echo "Velmora ended:" >&2; cat "$work/stderr" >&2; exit 1; }
  sleep 0.1
done
[[ -n $window ]] || { echo "no window within 30 s" >&2; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
# Fields 14 and 15 of /proc/PID/stat (utime, stime), counted after the ")" that ends the name.
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$game_pid/stat"; }

start=$(cpu_ticks)
sleep "$seconds"
kill -0 "$game_pid" 2>/dev/null || { echo "Velmora ended while idle:" >&2; cat "$work/stderr" >&2; exit 1; }
end=$(cpu_ticks)

awk -v s="$start" -v e="$end" -v hz="$ticks_per_second" -v w="$seconds" -v exe="$exe" \
  'BEGIN { printf "%s: %.2f s of CPU time (user+sys) in %d s idle, startup excluded (%.2f s at the window)\n", exe, (e - s) / hz, w, s / hz }'
