#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised build, once
# under the address and undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVUFE_SANITIZE=OFF \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=ON -DTAVUFE_BUILD_BENCH=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure --no-tests=error -j "$jobs"

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVUFE_SANITIZE=ON \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=ON -DTAVUFE_BUILD_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --no-tests=error -j "$jobs"
