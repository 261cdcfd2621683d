#!/usr/bin/env bash
# Times the window's start with a full-size SHX superfile against a start without a file and
# against `tavufe info` on the same file, each as a whole process, and prints the medians and
# the goal: the file may add at most twice the time of `tavufe info`, plus 50 ms.
#
#   bench/window_start.sh [BUILD_FOLDER]        (default: build/release)
#
# The window runs on the offscreen platform and ends as soon as its start is over
# (TAVUFE_QUIT_AFTER_START). Needs hyperfine and python3.
set -euo pipefail

build=$(cd "${1:-build/release}" && pwd)
runs=${RUNS:-20}
editor=$build/src/app/tavu-flex-editor
tavufe=$build/src/cli/tavufe
sample=$build/tools/tavufe-sample
for tool in hyperfine python3 "$editor" "$tavufe" "$sample"; do
  command -v "$tool" > /dev/null || { echo "window_start.sh: $tool not found" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$sample" --format shx --full --output full.shx
export QT_QPA_PLATFORM=offscreen TAVUFE_QUIT_AFTER_START=1 XDG_RUNTIME_DIR="$work"
# Settings of a run before do not change the next one's start.
export XDG_CONFIG_HOME="$work/config"

hyperfine -N --warmup 3 --runs "$runs" --export-json times.json \
  "$editor" "$editor full.shx" "$tavufe info full.shx" > /dev/null 2>&1

python3 - <<'PY'
import json, statistics
r = json.load(open("times.json"))["results"]
m = [statistics.median(x["times"]) * 1000 for x in r]
empty, withFile, info = m
added = withFile - empty
goal = 2 * info + 50
print("| start | median |")
print("|---|---|")
print(f"| window, no file | {empty:.1f} ms |")
print(f"| window, full-size SHX | {withFile:.1f} ms |")
print(f"| tavufe info, same file | {info:.1f} ms |")
print()
print(f"The file adds {added:.1f} ms; goal: at most 2 x info + 50 ms = {goal:.1f} ms "
      f"({'met' if added <= goal else 'NOT met'}).")
PY
