#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor on FILE, or on a generated demo
# superfile when no file is given.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVUFE_BUILD_TESTS=OFF \
      -DTAVUFE_BUILD_BENCH=OFF
cmake --build build/release

if [ $# -gt 0 ]; then
  file="$1"
else
  file="build/demo/demo_flex.shx"
  mkdir -p build/demo
  build/release/tools/tavufe-sample --format shx --output "$file"
  echo "Demo superfile: $file"
fi
exec build/release/src/app/tavu-flex-editor "$file"
