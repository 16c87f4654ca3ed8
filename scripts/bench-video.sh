#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times video through the 64-window map beside FFmpeg, in one run on the same input with the same
# codec and thread settings (libx264 CRF 18, FFmpeg's default thread count everywhere):
#   decode      the ffmpeg program decoding the input alone
#   plain       the ffmpeg program decoding and encoding it, no map
#   tesselink   tesselink --render --video with the 64-window map
#   graph       the ffmpeg program drawing the same map with its own filters (crop, transpose,
#               flips, overlay on a colour source)
# and, for reading the figures: tesselink with a map of one window copying the whole picture (its
# pipeline without a map's cost), and the ffmpeg program decoding and encoding tesselink's mapped
# output (what the mapped picture alone costs the encoder: 64 tiles make more edges than one);
# and prints seconds, frames per second and CPU seconds, and the ratios against the goals. The
# input is a 10-second 1080p30 test video made by the ffmpeg program's own test source (nothing is
# downloaded).
# Builds tesselink in Release in build-bench-video/; further arguments go to CMake.
# TESSELINK_BENCH_VIDEO_SECONDS sets the input's length (10); TESSELINK_BENCH_VIDEO_SOURCE the lavfi
# source it is made from (testsrc2; its size and rate are added); TESSELINK_BENCH_VIDEO_RUNS how many
# times each command runs (3, interleaved; the middle time counts, as a shared machine's neighbours
# come and go). Exits non-zero when a goal is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-bench-video"
seconds=${TESSELINK_BENCH_VIDEO_SECONDS:-10}
source=${TESSELINK_BENCH_VIDEO_SOURCE:-testsrc2}
runs=${TESSELINK_BENCH_VIDEO_RUNS:-3}
command -v ffmpeg >/dev/null || { echo "bench-video: the ffmpeg program is missing (scripts/setup.sh installs it)" >&2; exit 1; }

echo "== building Release in $dir" >&2
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=ON "$@" >/dev/null
cmake --build "$dir" --target tesselink video_bench_map -j "$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$dir/bench/video_bench_map" "$work/wall64.map" "$work/wall64.graph" 30 "$work/copy.map"
echo "== making a ${seconds}-second 1080p30 input from $source" >&2
ffmpeg -v error -nostdin -y -f lavfi -i "$source=size=1920x1080:rate=30" -t "$seconds" \
  -c:v libx264 -crf 18 -pix_fmt yuv420p "$work/in.mp4"
frames=$((seconds * 30))

# Wall-clock and CPU (user + system) seconds of a command, its output thrown away. The CPU time
# says more than the clock on a machine shared with other work.
elapsed() {
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null 2>"$work/last.log"; } 2>"$work/time" ||
    { cat "$work/last.log" >&2; echo "bench-video: failed: $*" >&2; exit 1; }
  awk '{ printf "%s %.3f\n", $1, $2 + $3 }' "$work/time"
}

# The middle of the runs' wall-clock and CPU seconds (each taken on its own).
median() {
  local column wall cpu
  for column in 1 2; do
    printf '%s\n' "$1" | awk -v c=$column 'NF { print $c }' | sort -g |
      awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }' >"$work/median$column"
  done
  read -r wall <"$work/median1"
  read -r cpu <"$work/median2"
  echo "$wall $cpu"
}

x264=(-c:v libx264 -crf 18 -pix_fmt yuv420p)
echo "== timing $frames frames, $runs runs of each, interleaved" >&2
r_decode='' r_plain='' r_tesselink='' r_graph='' r_copy='' r_mapped=''
for ((run = 1; run <= runs; ++run)); do
  r_decode+=$(elapsed ffmpeg -nostdin -y -i "$work/in.mp4" -an -f null -)$'\n'
  r_plain+=$(elapsed ffmpeg -nostdin -y -i "$work/in.mp4" -an "${x264[@]}" "$work/plain.mp4")$'\n'
  r_tesselink+=$(elapsed "$dir/src/app/tesselink" --render "$work/wall64.map" --video "$work/in.mp4" \
    --output "$work/tesselink.mp4")$'\n'
  r_graph+=$(elapsed ffmpeg -nostdin -y -i "$work/in.mp4" -an -filter_complex_script "$work/wall64.graph" \
    -map "[out]" "${x264[@]}" "$work/graph.mp4")$'\n'
  r_copy+=$(elapsed "$dir/src/app/tesselink" --render "$work/copy.map" --video "$work/in.mp4" \
    --output "$work/copy.mp4")$'\n'
  r_mapped+=$(elapsed ffmpeg -nostdin -y -i "$work/tesselink.mp4" -an "${x264[@]}" "$work/mapped.mp4")$'\n'
done
t_decode=$(median "$r_decode")
t_plain=$(median "$r_plain")
t_tesselink=$(median "$r_tesselink")
t_graph=$(median "$r_graph")
t_copy=$(median "$r_copy")
t_mapped=$(median "$r_mapped")
# Every run must have made every frame, or its time says nothing.
for out in plain tesselink graph copy mapped; do
  made=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries stream=nb_read_packets -of csv=p=0 "$work/$out.mp4")
  [ "$made" = "$frames" ] || { echo "bench-video: $out made $made frames, not $frames" >&2; exit 1; }
done

awk -v frames="$frames" -v d="$t_decode" -v p="$t_plain" -v t="$t_tesselink" -v g="$t_graph" -v c="$t_copy" \
  -v m="$t_mapped" 'function row(label, times,   f) {
    split(times, f, " ")
    printf "%-50s %8.2f %7.1f %9.2f\n", label, f[1], frames / f[1], f[2]
    return f[1]
  }
  function cpu(times,   f) { split(times, f, " "); return f[2] }
  BEGIN {
  printf "%-50s %8s %7s %9s\n", frames " frames of 1080p30, libx264 CRF 18 (median)", "seconds", "fps", "CPU s"
  row("decode alone (ffmpeg)", d)
  pw = row("decode + encode, no map (ffmpeg)", p)
  tw = row("tesselink --render --video, 64 windows", t)
  gw = row("ffmpeg filter graph, same 64 windows", g)
  row("tesselink, one window copying all (no map cost)", c)
  mw = row("decode + encode of the mapped video (ffmpeg)", m)
  r1 = pw / tw; r2 = gw / tw
  printf "\n%-50s %8s %7s %9s\n", "ratio (frames per second)", "measured", "goal", "CPU time"
  printf "%-50s %8.2f %7s %9.2f%s\n", "tesselink / decode + encode, no map", r1, ">= 0.85", cpu(p) / cpu(t), r1 < 0.85 ? " *" : ""
  printf "%-50s %8.2f %7s %9.2f%s\n", "tesselink / ffmpeg filter graph", r2, ">= 3.5", cpu(g) / cpu(t), r2 < 3.5 ? " *" : ""
  printf "%-50s %8.2f %7s %9.2f\n", "tesselink / decode + encode of the mapped video", mw / tw, "", cpu(m) / cpu(t)
  # Both draw the same picture, so what each spends beyond plain decoding and encoding is its map.
  if (cpu(t) > cpu(p))
    printf "%-50s %8s %7s %9.2f\n", "map cost, ffmpeg filters / tesselink (CPU)", "", "", \
      (cpu(g) - cpu(p)) / (cpu(t) - cpu(p))
  exit (r1 < 0.85 || r2 < 3.5)
}'
