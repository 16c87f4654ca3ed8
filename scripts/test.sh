#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, checks the formatting, builds with warnings as errors, and runs every
# test: the fuzzers for a bounded time, then the test suite plain and under AddressSanitizer +
# UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
"$root/scripts/setup.sh"

echo "== formatting"
"$root/scripts/check-format.sh"

echo "== fuzzing the map, picture, JSON, CSV and video readers"
"$root/fuzz/run.sh" "$root/build-fuzz" "${TESSELINK_FUZZ_SECONDS:-30}" -DTESSELINK_WERROR=ON

echo "== sanitizer build and tests"
"$root/scripts/build.sh" "$root/build-asan" -DTESSELINK_SANITIZE=ON -DTESSELINK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DTESSELINK_WERROR=ON
(cd "$root/build-asan" && ctest --output-on-failure -j 2)

echo "== plain build and tests"
"$root/scripts/build.sh" "$root/build" -DTESSELINK_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j 2)
