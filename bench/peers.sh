#!/usr/bin/env bash
# Times tavufe against objcopy and srec_cat on the same full-size Flex, each as a whole process,
# and prints the medians and ratios as a Markdown table, then `tavufe info` against the same open
# inside one process (read_bench, when built) plus the process start, and tavufe's peak resident
# memory.
#
#   bench/peers.sh [BUILD_FOLDER]        (default: build/release)
#
# The sample comes from tavufe-sample --full. objcopy and srec_cat get its Flex code group as
# plain S3 records (64 data bytes a line, as tavufe writes them) and as raw bytes. ROUNDS rounds
# (default 7) of RUNS runs (default 3) of every command, after WARMUP runs (default 2): the
# commands alternate from round to round, so a busy moment of the machine falls on all of them.
# The files go to a fresh folder under TMPDIR; its file system decides what tavufe's fsync costs
# (the peers do not sync). A floor beside them: dd writing the same output bytes, syncing them,
# dropping them from the cache and reading them back: what a save that survives a power cut and
# checks the disk costs done plainly, through the cache. Needs hyperfine, objcopy (binutils), srec_cat
# (srecord), dd (coreutils) and python3.
set -euo pipefail

build=$(cd "${1:-build/release}" && pwd)
rounds=${ROUNDS:-7}
runs=${RUNS:-3}
warmup=${WARMUP:-2}
tavufe=$build/src/cli/tavufe
sample=$build/tools/tavufe-sample
for tool in hyperfine objcopy srec_cat dd python3 "$tavufe" "$sample"; do
  command -v "$tool" > /dev/null || { echo "peers.sh: $tool not found" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
case "$build$work" in *" "*) echo "peers.sh: paths with spaces are not supported" >&2; exit 1 ;; esac
cd "$work"

"$sample" --format shx --full --output full.shx
"$sample" --format sbf --full --output full.sbf
# The peers' inputs: the same Flex bytes, and the same bytes as S3 records.
"$tavufe" save full.shx -o flex.smg
objcopy -I binary -O srec --srec-forceS3 --srec-len=64 flex.smg flex.srec

decode_tavufe="$tavufe save full.shx -o out.smg"
encode_tavufe="$tavufe save full.sbf -o out.shx"
decode_objcopy="objcopy -I srec -O binary flex.srec peer.bin"
encode_objcopy="objcopy -I binary -O srec --srec-forceS3 --srec-len=64 flex.smg peer.srec"
decode_srec_cat="srec_cat flex.srec -o peer2.bin -binary"
# What a save cannot go below: write, fsync, drop from the cache, read back from the disk.
# Each floor writes a file of its own, as each tavufe job does.
floor() {
  # (dd drops a file's cached pages with iflag=nocache count=0; they are clean after the sync.)
  echo "sh -c 'dd if=$1 of=$2 bs=1M conv=fsync status=none &&" \
    "dd if=$2 iflag=nocache count=0 status=none &&" \
    "dd if=$2 of=/dev/null bs=1M status=none'"
}
"$tavufe" save full.sbf -o floor.shx
decode_floor=$(floor flex.smg floor-decode.out)
encode_floor=$(floor floor.shx floor-encode.out)
# The report alone, and the process start it cannot go below.
info_tavufe="$tavufe info full.shx"
start_tavufe="$tavufe --version"
commands=("$decode_tavufe" "$decode_objcopy" "$decode_srec_cat" "$encode_tavufe" "$encode_objcopy"
  "$decode_floor" "$encode_floor" "$info_tavufe" "$start_tavufe")

for ((round = 1; round <= rounds; round++)); do
  echo "round $round of $rounds" >&2
  hyperfine --shell=none --style none --warmup "$warmup" --runs "$runs" \
    --export-json "round$round.json" "${commands[@]}" > /dev/null
  # The same open inside one process, as the benchmark of the open measures it, in the same
  # alternation.
  if [ -x "$build/bench/read_bench" ]; then
    "$build/bench/read_bench" --benchmark_filter='^BM_OpenShx/' \
      --benchmark_format=json > "open$round.json" 2> /dev/null
  fi
done

# The same Flex came out of every decoder.
cmp out.smg peer.bin
cmp out.smg peer2.bin


peak_kib=
if [ -x /usr/bin/time ]; then
  peak_kib=$(/usr/bin/time -v "$tavufe" save full.shx -o rss.smg 2>&1 >/dev/null |
    sed -n 's/.*Maximum resident set size (kbytes): //p')
fi

python3 - "$rounds" "$(stat -c %s full.shx)" "$peak_kib" "${commands[@]}" <<'PY'
import json, os, statistics, sys

rounds, shx_size, peak_kib = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
commands = sys.argv[4:]
wall = {c: [] for c in commands}
cpu = {c: [] for c in commands}
for r in range(1, rounds + 1):
    for result in json.load(open(f"round{r}.json"))["results"]:
        wall[result["command"]] += result["times"]
        cpu[result["command"]].append(result["user"] + result["system"])

def ms(c):
    return 1000 * statistics.median(wall[c])

def cpu_ms(c):
    return 1000 * statistics.mean(cpu[c])

(decode, decode_objcopy, decode_srec_cat, encode, encode_objcopy, decode_floor, encode_floor,
 info, start) = commands
print(f"Medians of {len(wall[decode])} runs ({rounds} alternated rounds); CPU is user + system.")
print()
print("| job | tavufe | its floor | ÷ floor | objcopy | ÷ objcopy | goals |")
print("|---|---|---|---|---|---|---|")
rows = [
    ("open SHX, write the Flex as SMG", decode, decode_floor, "-I srec -O binary", decode_objcopy),
    ("open SBF, write SHX", encode, encode_floor, "-I binary -O srec", encode_objcopy),
]
for job, ours, floor, peer_name, peer in rows:
    print(f"| {job} | {ms(ours):.1f} ms (CPU {cpu_ms(ours):.1f}) |"
          f" {ms(floor):.1f} ms (CPU {cpu_ms(floor):.1f}) | {ms(ours) / ms(floor):.2f}× |"
          f" {peer_name}: {ms(peer):.1f} ms | {ms(ours) / ms(peer):.2f}× |"
          f" ≤ 1.25× floor, < 1× objcopy |")
print(f"| open SHX, write SMG | {ms(decode):.1f} ms | | |"
      f" srec_cat … -binary: {ms(decode_srec_cat):.1f} ms |"
      f" {ms(decode_srec_cat) / ms(decode):.1f}× faster | |")
print()
print("The floor: dd writes the same output bytes, syncs them, drops them from the cache and reads")
print("them back from the disk: a durable save with a read-back done plainly, through the cache.")
opens = [json.load(open(f"open{r}.json"))["benchmarks"][0]["real_time"]
         for r in range(1, rounds + 1) if os.path.exists(f"open{r}.json")]
if opens:
    open_ms = statistics.median(opens)
    print()
    print(f"`tavufe info full.shx`: {ms(info):.1f} ms against the open in one process"
          f" ({open_ms:.1f} ms, read_bench BM_OpenShx, median of {len(opens)} rounds) plus the"
          f" process start (`tavufe --version`, {ms(start):.1f} ms):"
          f" {ms(info) / (open_ms + ms(start)):.2f}× (goal ≤ 1.1×)")
if peak_kib:
    limit = 64 * 1024 + shx_size / 1024 + 16 * 1024
    print()
    print(f"Peak resident memory of `tavufe save full.shx -o x.smg`: {int(peak_kib) / 1024:.1f} MiB"
          f" (limit 64 MiB + input {shx_size / 2**20:.1f} MiB + 16 MiB = {limit / 1024:.1f} MiB)")
PY
