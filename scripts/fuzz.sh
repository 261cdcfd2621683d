#!/usr/bin/env bash
# Fuzzes every target for SECONDS each (600 unless given), two at a time, starting from the
# corpora kept under fuzz/corpus/<target>/ and the seed superfiles. What a run adds is merged
# back into fuzz/corpus/<target>/ with -merge=1, which keeps only inputs that add coverage.
#
#   scripts/fuzz.sh [SECONDS]          fuzz and grow the kept corpora
#   scripts/fuzz.sh --check [SECONDS]  fuzz from the kept corpora, changing nothing in them
#
# The targets are built with clang in build/fuzz (or TAVUFE_FUZZ_BUILD_DIR).
#
# Stops with the report and the input when a target finds a fault (the input is left in the
# build folder, under fuzz/findings/).
set -euo pipefail
cd "$(dirname "$0")/.."

mode=grow
if [[ "${1:-}" == "--check" ]]; then
  mode=check
  shift
fi
seconds="${1:-600}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || ((seconds == 0)); then
  echo "usage: scripts/fuzz.sh [--check] [SECONDS]" >&2
  exit 2
fi

build="${TAVUFE_FUZZ_BUILD_DIR:-build/fuzz}"
cmake --preset fuzz -B "$build" > /dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_targets fuzz_seeds

bin="$build/fuzz"
seeds="$bin/seeds"
work="$bin/work"
findings="$bin/findings"
rm -rf "$work"
mkdir -p "$work" "$findings"

# Corpora a target starts from besides its own, and which its own corpus leaves out: the
# round trip opens what the readers open, so it keeps only inputs that add to theirs.
base_corpora() {
  case "$1" in
    round_trip_fuzz) echo "fuzz/corpus/sbf_reader_fuzz fuzz/corpus/shx_reader_fuzz" ;;
    *) echo "" ;;
  esac
}

# Seeds, input size limit and dictionary of each target. Inputs stay short, as the speed of a
# run goes with their length; the large seeds (the samples, an SHX group that runs past the
# image's end) are run as they are after the fuzzing.
seed_dirs() {
  case "$1" in
    sbf_reader_fuzz) echo "$seeds/sbf" ;;
    shx_reader_fuzz) echo "$seeds/shx" ;;
    round_trip_fuzz) echo "$seeds/sbf $seeds/shx" ;;
    same_content_fuzz) echo "" ;;
  esac
}
options() {
  case "$1" in
    sbf_reader_fuzz) echo "-max_len=16384 -dict=fuzz/dict/sbf.dict" ;;
    shx_reader_fuzz) echo "-max_len=32768 -dict=fuzz/dict/shx.dict" ;;
    round_trip_fuzz) echo "-max_len=32768 -dict=fuzz/dict/superfile.dict" ;;
    same_content_fuzz) echo "-max_len=4096" ;;
  esac
}

# Runs one target; its log goes to $work/<target>.log.
fuzz_target() {
  local target="$1"
  local corpus="fuzz/corpus/$target"
  local found="$work/$target"
  local log="$work/$target.log"
  mkdir -p "$corpus" "$found"
  # shellcheck disable=SC2046
  if ! "$bin/$target" "$found" "$corpus" $(base_corpora "$target") $(seed_dirs "$target") \
      $(options "$target") \
      -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$target-" \
      > "$log" 2>&1; then
    return 1
  fi
  case "$target" in
    sbf_reader_fuzz) "$bin/$target" "$seeds"/sbf-large/* >> "$log" 2>&1 || return 1 ;;
    shx_reader_fuzz) "$bin/$target" "$seeds"/shx-large/* >> "$log" 2>&1 || return 1 ;;
  esac
  if [[ "$mode" == grow ]]; then
    local merged="$work/$target.merged"
    mkdir -p "$merged"
    local base
    for base in $(base_corpora "$target"); do
      cp "$base"/* "$merged"/ 2> /dev/null || true
    done
    ls "$merged" > "$work/$target.base"
    # shellcheck disable=SC2046
    "$bin/$target" -merge=1 $(options "$target") "$merged" "$corpus" "$found" \
      >> "$log" 2>&1 || return 1
    (cd "$merged" && xargs -r rm -f < "../$target.base")
    rm -rf "$corpus"
    mv "$merged" "$corpus"
  fi
}

summary() {
  local log="$work/$1.log"
  local execs rate cov
  execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | head -1)
  rate=$(grep -Eo 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | head -1)
  cov=$(grep -E 'DONE' "$log" | grep -Eo 'cov: [0-9]+ ft: [0-9]+' | head -1)
  echo "$1: ${execs:-?} executions, ${rate:-?}/s, ${cov:-cov ?}," \
       "corpus $(find "fuzz/corpus/$1" -type f | wc -l) files"
}

targets=(sbf_reader_fuzz shx_reader_fuzz round_trip_fuzz same_content_fuzz)
failed=()
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    fuzz_target "$target" &
    pids+=("$!")
  done
  for k in "${!pids[@]}"; do
    target="${targets[i + k]}"
    if wait "${pids[k]}"; then
      summary "$target"
    else
      grep -vE '^#[0-9]+' "$work/$target.log" | tail -n 80
      failed+=("$target")
    fi
  done
done

if ((${#failed[@]} > 0)); then
  echo "Fuzzing found a fault in: ${failed[*]} (inputs in $findings)."
  exit 1
fi
