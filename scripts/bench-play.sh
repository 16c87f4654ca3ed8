#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a 1080p60 H.264 test video through the 64-window map with `tesselink --play --stats` on an
# X server for a while and reports the last statistics line: frames shown and dropped, and the
# time from a decoded (and due) frame to its presentation, median and worst. Beside it, the
# output's work per frame beyond decoding from the benchmark program (BM_OutputFrame against
# BM_MapUpdate64 of the same run).
# Then, with TESSELINK_BENCH_PLAY_SHOW=1, a show: one 3840 x 2160 30 fps H.264 video to four
# 1920 x 1080 outputs of the 64-window map (a quadrant of a 3840 x 2160 screen each), with each
# output's line, and BM_OutputFrameFourOutputs against 4 x 1.5 x BM_MapUpdate64.
# Uses $DISPLAY when set, else starts its own Xvfb (3840 x 2160) with openbox when they are there.
# TESSELINK_BENCH_PLAY_SECONDS sets how long it plays (60); TESSELINK_BENCH_PLAY_BUILD a build folder
# to take the programs from instead of building Release in build-bench-play/. Exits non-zero when a
# frame was dropped or the median is above one frame interval.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${TESSELINK_BENCH_PLAY_SECONDS:-60}
dir=${TESSELINK_BENCH_PLAY_BUILD:-$root/build-bench-play}
command -v ffmpeg >/dev/null || { echo "bench-play: the ffmpeg program is missing (scripts/setup.sh installs it)" >&2; exit 1; }
if [ -z "${TESSELINK_BENCH_PLAY_BUILD:-}" ]; then
  echo "== building Release in $dir" >&2
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=ON "$@" >/dev/null
  cmake --build "$dir" --target tesselink video_bench_map tesselink_bench -j "$(nproc)" >/dev/null
fi

work=$(mktemp -d)
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "bench-play: no DISPLAY and no Xvfb" >&2; exit 1; }
  Xvfb :77 -screen 0 3840x2160x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=:77
  sleep 1
  command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & }
fi

"$dir/bench/video_bench_map" "$work/wall64.map" "$work/wall64.graph" 60 "$work/copy.map"
echo "== making a ${seconds}-second 1080p60 H.264 input" >&2
ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=60" -t "$seconds" \
  -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p "$work/in.mp4"

echo "== playing it for $seconds seconds" >&2
"$dir/src/app/tesselink" --play "$work/wall64.map" --video "$work/in.mp4" --stats 2>"$work/stats.txt" &
player=$!
sleep "$((seconds + 1))"
kill -TERM "$player" 2>/dev/null || true
wait "$player" || true
last=$(grep 'shown' "$work/stats.txt" | tail -1)
echo "play: $last"

"$dir/bench/tesselink_bench" --benchmark_filter='BM_MapUpdate64|BM_OutputFrame' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null >"$work/bench.csv"
update=$(grep '^"BM_MapUpdate64_median"' "$work/bench.csv" | cut -d, -f4)
output=$(grep '^"BM_OutputFrame_median"' "$work/bench.csv" | cut -d, -f4)
ratio=$(awk -v a="$output" -v b="$update" 'BEGIN { printf "%.2f", a / b }')
echo "output work per frame: $output us CPU against BM_MapUpdate64 $update us: $ratio x (goal 1.5)"

four=$(grep '^"BM_OutputFrameFourOutputs_median"' "$work/bench.csv" | cut -d, -f4)
fourRatio=$(awk -v a="$four" -v b="$update" 'BEGIN { printf "%.2f", a / b }')
echo "four outputs' work per frame: $four us CPU: $fourRatio x BM_MapUpdate64 (goal 6.0 = 4 x 1.5)"

if [ "${TESSELINK_BENCH_PLAY_SHOW:-0}" = 1 ]; then
  echo "== making a ${seconds}-second 2160p30 H.264 input" >&2
  ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=size=3840x2160:rate=30" -t "$seconds" \
    -c:v libx264 -preset ultrafast -crf 20 -pix_fmt yuv420p "$work/in4k.mp4"
  cat >"$work/four.show" <<SHOW
{"source": {"video": "in4k.mp4"},
 "outputs": [{"map": "wall64.map", "at": [0, 0]}, {"map": "wall64.map", "at": [1920, 0]},
             {"map": "wall64.map", "at": [0, 1080]}, {"map": "wall64.map", "at": [1920, 1080]}]}
SHOW
  echo "== playing the show for $seconds seconds" >&2
  "$dir/src/app/tesselink" --play "$work/four.show" --stats 2>"$work/show.txt" &
  player=$!
  sleep "$((seconds + 1))"
  kill -TERM "$player" 2>/dev/null || true
  wait "$player" || true
  grep 'shown' "$work/show.txt" | tail -4 | sed 's/^/show: /'
fi

dropped=$(echo "$last" | sed -n 's/.*dropped \([0-9]*\).*/\1/p')
median=$(echo "$last" | sed -n 's/.*median \([0-9.]*\) ms.*/\1/p')
ok=1
[ "${dropped:-1}" -eq 0 ] || { echo "bench-play: $dropped frames dropped (goal 0)"; ok=0; }
awk -v m="${median:-99}" 'BEGIN { exit !(m <= 16.7) }' || { echo "bench-play: median $median ms above 16.7 ms"; ok=0; }
awk -v r="$ratio" 'BEGIN { exit !(r <= 1.5) }' || { echo "bench-play: output work $ratio x above 1.5 x"; ok=0; }
[ "$ok" -eq 1 ]
