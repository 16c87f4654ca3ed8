#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the editor (arguments go to the editor).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=OFF
exec "$root/build/src/app/tesselink" "$@"
