#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measures the editor's video preview in its real window on a virtual display (Xvfb, openbox):
# a 10-second 1080p30 test video (the ffmpeg program's own test source, H.264) behind the
# 64-window 1920 x 1080 map at zoom 1. Prints what bench/video_preview_probe.cpp reports (frames
# shown and dropped in real time, the pipeline's capacity, memory resident) and writes a
# screenshot of the screen while playing to OUT (video-preview.png).
#   scripts/bench-video-preview.sh [OUT.png]
# Builds Release in build-bench-video/ (as scripts/bench-video.sh does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${TESSELINK_BENCH_DIR:-"$root/build-bench-video"}
shot=${1:-video-preview.png}
display=${TESSELINK_BENCH_DISPLAY:-:7}
for tool in Xvfb openbox import ffmpeg; do
  command -v "$tool" >/dev/null || { echo "bench-video-preview: $tool is missing" >&2; exit 1; }
done

echo "== building Release in $dir" >&2
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=ON >/dev/null
cmake --build "$dir" --target video_preview_probe video_bench_map -j "$(nproc)" >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
"$dir/bench/video_bench_map" "$work/wall64.map" "$work/wall64.graph" 30
echo "== making a 10-second 1080p30 input" >&2
ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30" -t 10 \
  -c:v libx264 -crf 18 -pix_fmt yuv420p "$work/in.mp4"

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=$display "$dir/bench/video_preview_probe" "$work/wall64.map" "$work/in.mp4" 10 &
probe=$!
# Two seconds to start and maximise, then halfway through the real-time run.
sleep 7
DISPLAY=$display import -window root "$shot"
wait "$probe"
echo "screenshot: $shot" >&2
