#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised build with
# warnings as errors, once under the address and undefined-behaviour sanitizers, and the core's
# and tavufe's once more under ThreadSanitizer; in between the install and the package are
# checked, the package is built twice to show it reproducible, the browser page is built and
# driven in headless Chromium, and each fuzz target runs briefly from its kept corpus. Every
# build is a preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Many builds of the same sources: the compiler cache, where there is one, spares most of the
# work of a run after the first.
if command -v ccache > /dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
fi

# The code's shape before its behaviour: layers include in one direction, files as
# .clang-format has them.
scripts/check-layers.sh
scripts/check-format.sh
# Every text of the window and the page has a finished entry in every catalogue.
scripts/translations.sh --check

# The optimised build (in build/release), where a warning is an error.
cmake --preset ci
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs"

# What an installed system gets: an install into a scratch folder, the desktop files, the
# manual pages and the completion, then the Debian package; then the package built twice in
# two other folders, which must give the same bytes.
scripts/check-package.sh build/release
scripts/check-reproducible.sh

# The browser page, opened from disk in headless Chromium: what it shows and downloads is
# compared with what the command-line tool of the same build prints and writes. Debian's
# Selenium is for Debian's python3, whichever python3 comes first in PATH. Before it, the
# core's WebAssembly SIMD paths run their tests under node.
scripts/web.sh
ctest --preset web
/usr/bin/python3 tests/web/page_test.py build/web/tavu-flex-editor.html build/release
/usr/bin/python3 tests/web/page_language_test.py build/web/tavu-flex-editor.html build/release

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

# Every test again under the address and undefined-behaviour sanitizers (in build/asan).
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

# The reader and the save still start threads: the core's tests and tavufe's (which run the
# tool as a process) under ThreadSanitizer, without the window (in build/tsan).
cmake --preset tsan
cmake --build --preset tsan -j "$jobs"
ctest --preset tsan -j "$jobs"
