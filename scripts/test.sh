#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised build, once
# under the address and undefined-behaviour sanitizers; in between the install and the
# package are checked, the browser page is built and driven in headless Chromium, and each
# fuzz target runs briefly from its kept corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# The code's shape before its behaviour: layers include in one direction, files as
# .clang-format has them.
scripts/check-layers.sh
scripts/check-format.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVUFE_SANITIZE=OFF \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=ON -DTAVUFE_BUILD_BENCH=ON
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure --no-tests=error -j "$jobs"

# What an installed system gets: an install into a scratch folder, the desktop files, the
# manual pages and the completion, then the Debian package.
scripts/check-package.sh build/release

# The browser page, opened from disk in headless Chromium: what it shows and downloads is
# compared with what the command-line tool of the same build prints and writes. Debian's
# Selenium is for Debian's python3, whichever python3 comes first in PATH. Before it, the
# core's WebAssembly SIMD paths run their tests under node.
scripts/web.sh
ctest --test-dir build/web --output-on-failure --no-tests=error
/usr/bin/python3 tests/web/page_test.py build/web/tavu-flex-editor.html build/release

# The fuzz targets: built with clang and libFuzzer, when they are there.
fuzzer_works() {
  local probe
  probe="$(mktemp -d)"
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    > "$probe/probe.cpp"
  clang++ -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" > /dev/null 2>&1
  local ok=$?
  rm -rf "$probe"
  return $ok
}
if command -v clang++ > /dev/null && fuzzer_works; then
  # Every fuzz target for 30 s from its kept corpus, two at a time.
  scripts/fuzz.sh --check 30
else
  echo "Fuzzing skipped: clang with libFuzzer is not installed."
fi

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVUFE_SANITIZE=ON \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=ON -DTAVUFE_BUILD_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --no-tests=error -j "$jobs"
