#!/usr/bin/env bash
# Times `tavufe diff` of two full-size superfiles against two `tavufe info` runs of the same
# files, each as whole processes, and prints the medians and their ratio (goal: at most 1.5×).
#
#   bench/diff_bench.sh [BUILD_FOLDER]   (default: build/release)
#
# OLD is tavufe-sample --full as SHX; NEW is its save with one folder record erased, so that the
# comparison has a folder, the RAMDLD's table and the dropped code groups to name. ROUNDS rounds
# (default 5) of RUNS runs (default 3) after WARMUP runs (default 2), the two commands
# alternating. Needs hyperfine and python3.
set -euo pipefail

build=$(cd "${1:-build/release}" && pwd)
rounds=${ROUNDS:-5}
runs=${RUNS:-3}
warmup=${WARMUP:-2}
tavufe=$build/src/cli/tavufe
sample=$build/tools/tavufe-sample
for tool in hyperfine python3 "$tavufe" "$sample"; do
  command -v "$tool" > /dev/null || { echo "diff_bench.sh: $tool not found" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case "$build$work" in *" "*) echo "diff_bench.sh: paths with spaces are not supported" >&2; exit 1 ;; esac
cd "$work"

"$sample" --format shx --full --output old.shx
SOURCE_DATE_EPOCH=0 "$tavufe" save old.shx -o new.shx --delete-row 3
# diff exits with 1 when the files differ, which is what is timed here.
diff_command="sh -c '$tavufe diff old.shx new.shx > /dev/null; [ \$? -eq 1 ]'"
info_command="sh -c '$tavufe info old.shx > /dev/null && $tavufe info new.shx > /dev/null'"
"$tavufe" diff old.shx new.shx | tail -n 1 >&2 || true

for ((round = 1; round <= rounds; round++)); do
  echo "round $round of $rounds" >&2
  hyperfine --shell=none --style none --warmup "$warmup" --runs "$runs" \
    --export-json "round$round.json" "$diff_command" "$info_command" > /dev/null
done

python3 - "$rounds" "$diff_command" "$info_command" <<'PY'
import json, statistics, sys

rounds, diff, info = int(sys.argv[1]), sys.argv[2], sys.argv[3]
wall = {diff: [], info: []}
for r in range(1, rounds + 1):
    for result in json.load(open(f"round{r}.json"))["results"]:
        wall[result["command"]] += result["times"]
d = 1000 * statistics.median(wall[diff])
i = 1000 * statistics.median(wall[info])
print(f"Medians of {len(wall[diff])} runs ({rounds} alternated rounds), wall clock.")
print()
print("| job | time | beside it | ratio | goal |")
print("|---|---|---|---|---|")
print(f"| tavufe diff, two full-size SHX | {d:.1f} ms | two tavufe info runs: {i:.1f} ms |"
      f" {d / i:.2f}× | ≤ 1.5× |")
PY
