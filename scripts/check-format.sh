#!/usr/bin/env bash
# Fails when a C++ file differs from what the repository's .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format > /dev/null; then
  echo "Formatting not checked: clang-format is not installed."
  exit 0
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Some files are not formatted: run clang-format -i on them."
  exit 1
fi
echo "Formatting: ${#files[@]} files as .clang-format has them."
