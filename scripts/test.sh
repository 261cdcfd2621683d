#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in an optimised build, once
# under the address and undefined-behaviour sanitizers; in between the install and the
# package are checked and each reader is fuzzed briefly.
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

# The readers' fuzz targets: built with clang, each run briefly over its seed corpus.
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
  CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTAVUFE_BUILD_FUZZ=ON -DTAVUFE_BUILD_APP=OFF -DTAVUFE_BUILD_TESTS=OFF \
        -DTAVUFE_BUILD_BENCH=OFF
  cmake --build build/fuzz -j "$jobs" --target sbf_reader_fuzz shx_reader_fuzz fuzz_seeds
  for reader in sbf shx; do
    mkdir -p "build/fuzz/corpus/$reader"
    log="build/fuzz/$reader.log"
    if ! "build/fuzz/fuzz/${reader}_reader_fuzz" "build/fuzz/corpus/$reader" \
        "build/fuzz/fuzz/seeds/$reader" -max_total_time=15 -max_len=200000 \
        -print_final_stats=1 > "$log" 2>&1; then
      cat "$log"
      echo "The $reader reader's fuzz target found a fault."
      exit 1
    fi
    echo "$reader reader fuzzed: $(grep -E 'stat::number_of_executed_units' "$log")"
  done
else
  echo "Fuzzing skipped: clang with libFuzzer is not installed."
fi

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVUFE_SANITIZE=ON \
      -DTAVUFE_BUILD_APP=ON -DTAVUFE_BUILD_TESTS=ON -DTAVUFE_BUILD_BENCH=OFF
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --no-tests=error -j "$jobs"
