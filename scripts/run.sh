#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on FILE, or on a generated demo
# superfile when no file is given.
set -euo pipefail

# A file named relative to where the command was typed, before moving to the repository.
file=""
if [ $# -gt 0 ]; then file="$(realpath -m -- "$1")"; fi
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset run
cmake --build --preset run

if [ -z "$file" ]; then
  file="$PWD/build/demo/demo_flex.shx"
  mkdir -p build/demo
  build/run/tools/tavufe-sample --format shx --output "$file"
  echo "Demo superfile: $file"
fi
exec build/run/src/app/tavu-flex-editor "$file"
