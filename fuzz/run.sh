#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzzers with clang and runs each for its share of a bounded time:
# run.sh BUILD_DIR TOTAL_SECONDS [CMAKE_ARGS...]. Any crash, sanitizer report or broken invariant
# makes it exit non-zero. Prints, per target, the inputs run and the corpus gained.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-fuzz}
total=${2:-30}
shift 2 || shift $#
CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build"

# target:seed-folder:share of the time in percent, one per line. The image parser saturates within
# seconds; the file path, the picture headers, the exchange readers and the video decoders have
# more ground to cover.
targets=(
  map_reader_fuzz:map:8
  map_open_fuzz:map:16
  picture_header_fuzz:picture:16
  json_reader_fuzz:json:16
  csv_reader_fuzz:csv:16
  video_decode_fuzz:video:28
)
for entry in "${targets[@]}"; do
  IFS=: read -r name seeds share <<<"$entry"
  seconds=$(( total * share / 100 )); [ "$seconds" -ge 1 ] || seconds=1
  corpus="$build/corpus-$name"
  mkdir -p "$corpus"
  log="$build/$name.log"
  if "$build/$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/$name-" \
    "$corpus" "$here/seeds/$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    added=$(sed -n 's/^stat::new_units_added: *//p' "$log")
    echo "$name: ${runs:-?} inputs in ${seconds} s, ${added:-?} new corpus units, no crash"
  else
    cat "$log"
    echo "$name FAILED"
    exit 1
  fi
done
