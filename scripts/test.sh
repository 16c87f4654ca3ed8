#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the fuzzers for a bounded time,
# then the test suite plain and under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
"$root/scripts/setup.sh"

echo "== fuzzing the map and picture readers"
"$root/fuzz/run.sh" "$root/build-fuzz" "${TESSELINK_FUZZ_SECONDS:-30}"

echo "== sanitizer build and tests"
"$root/scripts/build.sh" "$root/build-asan" -DTESSELINK_SANITIZE=ON -DTESSELINK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
(cd "$root/build-asan" && ctest --output-on-failure -j 2)

echo "== plain build and tests"
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure -j 2)
