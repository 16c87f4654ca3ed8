#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails, naming the files, when a C++ file of the tree is not formatted as .clang-format says.
# Fix with: clang-format-14 -i FILE...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(find src tests bench fuzz tools -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
bad=()
for f in "${files[@]}"; do
  clang-format-14 --dry-run -Werror --style=file "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'not formatted: %s\n' "${bad[@]}"
  echo "${#bad[@]} of ${#files[@]} C++ files need clang-format-14 -i"
  exit 1
fi
echo "all ${#files[@]} C++ files formatted"
