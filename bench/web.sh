#!/usr/bin/env bash
# The browser page against its goals: its size (at most 1.5 MB), its open of a full-size SHX in
# headless Chromium against the browser's own read of the same file in the same page and run,
# the floor no open can beat (at most 1.25x), and the module's memory afterwards (at most the
# 64 MiB image plus twice the file).
#
# Usage: bench/web.sh [BUILD]   (BUILD holds tools/tavufe-sample; build/release by default).
#                               ROUNDS=9 by default.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
rounds="${ROUNDS:-9}"

page="$(scripts/web.sh | tail -n 1)"
work="$(mktemp -d "${TMPDIR:-/tmp}/tavufe-web.XXXXXX")"
trap 'rm -rf "$work"' EXIT
"$build/tools/tavufe-sample" --format shx --full --output "$work/full.shx" > /dev/null
size=$(stat -c %s "$work/full.shx")

/usr/bin/python3 bench/web_open.py "$page" "$work/full.shx" "$rounds" | tee "$work/web.txt"
python3 - "$work/web.txt" "$size" <<'PY'
import re, sys
text = open(sys.argv[1]).read()
page = int(re.search(r"page (\d+) bytes", text).group(1))
open_ms = float(re.search(r"open ([\d.]+) ms", text).group(1))
read_ms = float(re.search(r"read ([\d.]+) ms", text).group(1))
memory = float(re.search(r"module memory ([\d.]+) MiB", text).group(1))
size = int(sys.argv[2])
limit = 64 + 2 * size / 2**20
print(f"page: {page / 1e6:.2f} MB (goal <= 1.5 MB)")
print(f"open: {open_ms / read_ms:.2f}x the browser's own read of the file (goal <= 1.25x)")
print(f"memory: {memory:.1f} MiB (goal <= {limit:.1f} MiB: 64 MiB image + twice the file)")
PY
