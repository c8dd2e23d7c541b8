#!/usr/bin/env bash
# The editor's CPU use while the 32x32 chip page of an animated stage stands open, as a
# share of one core: bench/cpu_use.sh [SECONDS] [STAGE]
# Needs a Release build (./run makes one), Xvfb, xdotool and imagemagick's import.
# DISPLAY_NUMBER (7) picks the virtual display; one already running there is reused.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-10}
stage=${2:-1} # stages 1, 3, 6, 10 and 13 of the sample are animated
display=":${DISPLAY_NUMBER:-7}"
build="$top/build-release"
image=/tmp/bench-sample.nes
shot=/tmp/cpu_use.png

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
[[ -x "$build/vexalon2editor" ]] || { echo "no Release build: run ./run or build $build" >&2; exit 1; }

xvfb=""
editor=""
cleanup() {
  [[ -n "$editor" ]] && kill "$editor" 2>/dev/null || true
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT

if ! xdpyinfo -display "$display" >/dev/null 2>&1 && [[ ! -e "/tmp/.X${display#:}-lock" ]]; then
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
fi
export DISPLAY=$display

"$build/vexalon2-tool" make-sample "$image" >/dev/null
(cd "$build" && exec ./vexalon2editor "$image") >/dev/null 2>&1 &
editor=$!
xdotool search --sync --onlyvisible --name "VEXALON 2 EDITOR - " >/dev/null
sleep 1

# Without a window manager the window stands at 0,0. Wheel steps on the stage selector move
# one stage each; the chip page is the second tab.
xdotool mousemove 80 36
for ((i = 0; i < stage; ++i)); do
  xdotool click 5
  sleep 0.2
done
xdotool mousemove 102 57 click 1
# The pointer off the page, so no hover frame is drawn while measuring.
xdotool mousemove 900 700
sleep 1

ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$editor/stat"; }
start=$(cpu)
begun=$(date +%s.%N)
sleep "$seconds"
end=$(cpu)
ended=$(date +%s.%N)
import -window root "$shot"
# A few shots apart by less than a frame's time: any difference shows the animation ran.
animated=no
for i in 1 2 3; do
  sleep 0.1
  import -window root "/tmp/cpu_use.$i.png"
  difference=$(compare -metric AE "$shot" "/tmp/cpu_use.$i.png" null: 2>&1 || true)
  [[ "$difference" != 0 ]] && animated=yes
done
rm -f /tmp/cpu_use.[123].png

awk -v used=$((end - start)) -v ticks="$ticks" -v from="$begun" -v to="$ended" 'BEGIN {
  wall = to - from
  printf "CPU %.2f s in %.2f s: %.1f%% of one core\n", used / ticks, wall, 100 * used / ticks / wall
}'
echo "screen changed while shown: $animated; screenshot: $shot"
