#!/usr/bin/env bash
# The browser page against its goals: its size (at most 1.5 MB), the time to open a full-size
# SHX in headless Chromium (at most 4x `tavufe info` on the same file) and the module's memory
# afterwards (at most the 64 MiB image plus twice the file).
#
# Usage: bench/web.sh [BUILD]   (BUILD holds tools/tavufe-sample and src/cli/tavufe;
#                                build/release by default). ROUNDS=5 by default.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
rounds="${ROUNDS:-5}"

page="$(scripts/web.sh | tail -n 1)"
work="$(mktemp -d "${TMPDIR:-/tmp}/tavufe-web.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/tools/tavufe-sample" --format shx --full --output "$work/full.shx" > /dev/null
size=$(stat -c %s "$work/full.shx")

# tavufe info: the median wall-clock time of as many runs.
info_ms=$(python3 - "$build/src/cli/tavufe" "$work/full.shx" "$rounds" <<'PY'
import statistics, subprocess, sys, time
times = []
for _ in range(int(sys.argv[3]) + 1):
    start = time.perf_counter()
    subprocess.run([sys.argv[1], "info", sys.argv[2]], check=True, stdout=subprocess.DEVNULL)
    times.append((time.perf_counter() - start) * 1000)
print(f"{statistics.median(times[1:]):.1f}")
PY
)

/usr/bin/python3 bench/web_open.py "$page" "$work/full.shx" "$rounds" | tee "$work/web.txt"
echo "tavufe info $info_ms ms (median of $rounds)"
python3 - "$work/web.txt" "$info_ms" "$size" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
page = int(re.search(r"page (\d+) bytes", text).group(1))
open_ms = float(re.search(r"open ([\d.]+) ms", text).group(1))
memory = float(re.search(r"module memory ([\d.]+) MiB", text).group(1))
info_ms, size = float(sys.argv[2]), int(sys.argv[3])
limit = 64 + 2 * size / 2**20
print(f"page: {page / 1e6:.2f} MB (goal <= 1.5 MB)")
print(f"open: {open_ms / info_ms:.2f}x tavufe info (goal <= 4x)")
print(f"memory: {memory:.1f} MiB (goal <= {limit:.1f} MiB: 64 MiB image + twice the file)")
PY
