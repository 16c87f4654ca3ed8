#!/usr/bin/env bash
# Builds the map-reader fuzzer with clang and runs it for a bounded time: run.sh BUILD_DIR SECONDS.
# Any crash, sanitizer report or broken round trip makes it exit non-zero.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-fuzz}
seconds=${2:-30}
CXX=clang++-14 cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build"
mkdir -p "$build/corpus"
log="$build/fuzz.log"
if "$build/map_reader_fuzz" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/" \
  "$build/corpus" "$here/seeds" >"$log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$log"
else
  cat "$log"
  echo "map reader fuzzer FAILED"
  exit 1
fi
