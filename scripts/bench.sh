#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmark program in Release and in RelWithDebInfo (build-bench-release/ and
# build-bench-relwithdebinfo/), runs both, and prints one table: each figure as the ratio of its
# median CPU time to the reference measured in the same run, the goal beside it, and a mark
# where a goal is missed. Further arguments go to CMake (for instance
# -DCMAKE_CXX_COMPILER_LAUNCHER=ccache). TESSELINK_BENCH_REPETITIONS sets the repetitions (5);
# they are interleaved at random, so a figure and its reference see the same machine load.
# Exits non-zero when a goal is missed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
repetitions=${TESSELINK_BENCH_REPETITIONS:-5}
types=(Release RelWithDebInfo)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for type in "${types[@]}"; do
  dir="$root/build-bench-${type,,}"
  echo "== building $type in $dir" >&2
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DTESSELINK_BUILD_TESTS=OFF "$@" >/dev/null
  cmake --build "$dir" --target tesselink_bench -j "$(nproc)" >/dev/null
done

for type in "${types[@]}"; do
  dir="$root/build-bench-${type,,}"
  echo "== running $type ($repetitions repetitions)" >&2
  QT_QPA_PLATFORM=offscreen "$dir/bench/tesselink_bench" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_enable_random_interleaving=true --benchmark_format=json >"$out/$type.json" 2>"$out/$type.log"
  grep '^tesselink_' "$out/$type.log" | sed "s/^/$type: /" >&2 || true
done

# name, reference, goal, label: one line per figure of the table.
figures='BM_RemapMode/0|BM_Memcpy1Plane|1.15|mode 0 copy
BM_RemapMode/3|BM_Memcpy1Plane|1.15|mode 3 vertical mirror
BM_RemapMode/4|BM_Memcpy1Plane|1.3|mode 4 level mirror
BM_RemapMode/5|BM_Memcpy1Plane|1.3|mode 5 half turn
BM_RemapMode/1|BM_Memcpy1Plane|2.5|mode 1 clockwise quarter turn
BM_RemapMode/2|BM_Memcpy1Plane|2.5|mode 2 anticlockwise quarter turn
BM_MapUpdate64|BM_Memcpy3Planes|6|map update, 64 windows
BM_BuildColourPlanes|BM_Memcpy3Planes|2.5|colour planes from a picture
BM_ProblemList|BM_MapUpdate64|0.1|problem list, 255 windows
BM_VideoFrame|BM_MapUpdate64|4|1080p video frame through 64 windows
BM_PaintTargetView/zoom:0.5|BM_MapUpdate64|1.0|Target view paint, zoom 0.5
BM_PaintTargetView/zoom:1.5|BM_MapUpdate64|1.0|Target view paint, zoom 1.5
BM_PaintTargetView/zoom:2|BM_MapUpdate64|1.0|Target view paint, zoom 2
BM_PaintTargetView/zoom:8|BM_MapUpdate64|1.0|Target view paint, zoom 8
BM_PaintOriginalView/zoom:0.5|BM_MapUpdate64|0.5|Original view paint, zoom 0.5
BM_PaintOriginalView/zoom:1.5|BM_MapUpdate64|0.5|Original view paint, zoom 1.5
BM_PaintOriginalView/zoom:2|BM_MapUpdate64|0.5|Original view paint, zoom 2
BM_PaintOriginalView/zoom:8|BM_MapUpdate64|0.5|Original view paint, zoom 8'

awk -v figures="$figures" -v types="${types[*]}" -v repetitions="$repetitions" '
  function nanoseconds(value, unit) {
    return value * (unit == "us" ? 1e3 : unit == "ms" ? 1e6 : unit == "s" ? 1e9 : 1)
  }
  # JSON, one field a line: "name" comes before "cpu_time" and "time_unit" in each run; only the
  # medians are used. (The CSV reporter aborts when the random order puts a benchmark with
  # counters of its own after the header.)
  function value(line) {
    sub(/^[^:]*: */, "", line)
    sub(/,$/, "", line)
    gsub(/"/, "", line)
    return line
  }
  FNR == 1 { file++; name = "" }
  /^ *"name": / { name = value($0); median = sub(/_median$/, "", name) }
  /^ *"cpu_time": / { time = value($0) }
  /^ *"time_unit": / { if (median) cpu[file, name] = nanoseconds(time, value($0)) }
  END {
    n = split(types, type, " ")
    lines = split(figures, figure, "\n")
    printf "Median CPU time of each figure over its reference, measured in the same run (%d repetitions).\n", repetitions
    printf "A * marks a missed goal.\n\n"
    printf "%-38s %-18s %7s", "figure", "reference", "goal"
    for (t = 1; t <= n; t++) printf " %15s", type[t]
    printf "\n"
    missed = 0
    for (l = 1; l <= lines; l++) {
      split(figure[l], f, "|")
      printf "%-38s %-18s %7s", f[4], f[2], "<= " f[3]
      for (t = 1; t <= n; t++) {
        if (!((t, f[1]) in cpu) || !((t, f[2]) in cpu) || cpu[t, f[2]] == 0) {
          printf " %15s", "n/a"
          missed = 1
          continue
        }
        ratio = cpu[t, f[1]] / cpu[t, f[2]]
        mark = ratio > f[3] + 0 ? "*" : " "
        if (mark == "*") missed = 1
        printf " %14.2f%s", ratio, mark
      }
      printf "\n"
    }
    exit missed
  }
' "$out/${types[0]}.json" "$out/${types[1]}.json"
