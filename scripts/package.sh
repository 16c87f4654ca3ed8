#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package into build-package/ (or $1): a Release build for the /usr prefix,
# then CPack. Prints the path of the .deb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build-package}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTESSELINK_BUILD_TESTS=OFF -DTESSELINK_BUILD_BENCH=OFF
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/tesselink_*.deb
