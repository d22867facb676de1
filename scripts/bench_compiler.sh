#!/usr/bin/env bash
# Times the compiler as a whole program on generated inputs and prints the
# medians and ratios:
#   - vessik on a script of a million short chunk lines (lines per second);
#   - vessik embedding 91 large PNG-signature files, against cat writing the
#     same files into one output file.
#
# Builds nothing. Give it a build folder that holds bin/vessik (default build/),
# best a Release one:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMRISK_BUILD_BENCH=ON
#   cmake --build build-bench --target vessik
#   scripts/bench_compiler.sh build-bench
#
# RUNS (default 5) timed runs per contender, after one untimed run each.
# The inputs and outputs (about 700 MB) go to a temporary folder under TMPDIR,
# removed at the end; TMPDIR=/dev/shm keeps the disk out of the measurement.
# With hyperfine installed (apt-get install hyperfine) it does the timing;
# otherwise a plain loop runs the contenders in turn, one run each per round.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
vessik=$(cd "$build" 2>/dev/null && pwd)/bin/vessik || vessik=""
runs=${RUNS:-5}
line_count=1000000
file_count=91
file_size=2400000 # 91 files: 218 MB

if [ -z "$vessik" ] || [ ! -x "$vessik" ]; then
  echo "No vessik in $build/bin; build it first (see the head of $0)." >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/bench_compiler.XXXXXX")
trap 'rm -rf "$work"' EXIT

# ------------------------------------------------------------------ inputs

echo "Generating inputs in $work ..."

# A million short chunk lines of the kinds an animation script holds, cycled.
awk -v n="$line_count" 'BEGIN {
  split("MHDR 320 240 10 0 0 0 0|LOOP 1 0x7fffffff|FRAM 1 \\0 2 0 0 0 5|" \
        "DEFI 1 0 1 10 20|tEXt Title frame|ENDL 1|MEND", kinds, "|")
  print "# MNG=lines.mng"
  for (i = 0; i < n; i++) print kinds[i % 7 + 1]
}' >"$work/lines.txt"

# 91 files that begin with the PNG signature; the compiler looks at nothing
# else. The filler differs from file to file but is the same on every run.
signature=$'\x89PNG\r\n\x1a\n'
{
  echo "# MNG=embed.mng"
  echo "MHDR 320 240 10 0 0 0 0"
  echo "LOOP 1 0x7fffffff"
} >"$work/embed.txt"
for i in $(seq -w 0 $((file_count - 1))); do
  f="$work/frame$i.png"
  {
    printf '%s' "$signature"
    (yes "frame $i: filler that stands in for compressed image data 0123456789" || true) |
      head -c $((file_size - 8))
  } >"$f"
  echo "IHDR frame$i.png" >>"$work/embed.txt"
done
printf 'ENDL 1\nMEND\n' >>"$work/embed.txt"
frames=("$work"/frame*.png)
frame_bytes=$((file_count * file_size))

# -------------------------------------------------------------- contenders

names=(vessik_lines vessik_embed cat_embed)
commands=(
  "$(printf '%q -y -q %q' "$vessik" "$work/lines.txt")"
  "$(printf '%q -y -q %q' "$vessik" "$work/embed.txt")"
  "cat $(printf '%q ' "${frames[@]}")> $(printf '%q' "$work/cat.out")"
)

# Every run starts without an output, as when the editor runs the compiler
# after deleting the old animation. Replacing a file costs extra on some file
# systems (ext4 flushes the new file when it replaces another), and removing
# one frees its blocks: neither belongs to the copy being measured.
clean="rm -f $(printf '%q ' "$work/lines.mng" "$work/embed.mng" "$work/cat.out")"

# Median of the numbers on standard input.
median() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2
  }'
}

# One untimed run of each, which also warms the page cache. Both embedding
# outputs must carry the same image bytes before their times mean anything.
for k in "${!names[@]}"; do
  bash -c "${commands[$k]}"
done
# The MNG adds its signature, MHDR, LOOP, ENDL and MEND (90 bytes) and drops
# the files' own signatures.
embed_size=$(stat -c %s "$work/embed.mng")
cat_size=$(stat -c %s "$work/cat.out")
if [ "$cat_size" -ne "$frame_bytes" ] || [ "$embed_size" -ne $((frame_bytes - 8 * file_count + 90)) ]; then
  echo "Unexpected output sizes: embed.mng $embed_size, cat.out $cat_size bytes" >&2
  exit 1
fi

declare -A seconds
if command -v hyperfine >/dev/null 2>&1; then
  echo "Timing with hyperfine, $runs runs each ..."
  args=()
  for k in "${!names[@]}"; do
    args+=(-n "${names[$k]}" "${commands[$k]}")
  done
  hyperfine --style basic --runs "$runs" --prepare "$clean" \
    --export-csv "$work/times.csv" "${args[@]}"
  for name in "${names[@]}"; do
    seconds[$name]=$(awk -F, -v name="$name" '
      NR == 1 { for (i = 1; i <= NF; i++) if ($i == "median") col = i; next }
      $1 == name { print $col }' "$work/times.csv")
  done
else
  echo "Timing with a plain loop, $runs rounds (hyperfine not installed) ..."
  for ((r = 1; r <= runs; r++)); do
    for k in "${!names[@]}"; do
      bash -c "$clean"
      start=$(date +%s.%N)
      bash -c "${commands[$k]}"
      end=$(date +%s.%N)
      awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }' >>"$work/${names[$k]}.times"
    done
  done
  for name in "${names[@]}"; do
    seconds[$name]=$(median <"$work/$name.times")
  done
fi

# ------------------------------------------------------------------ report

echo
awk -v lines="$line_count" -v bytes="$frame_bytes" -v files="$file_count" \
  -v tl="${seconds[vessik_lines]}" -v te="${seconds[vessik_embed]}" \
  -v tc="${seconds[cat_embed]}" 'BEGIN {
  printf "%-34s %10s  %s\n", "contender (median of runs)", "seconds", "rate"
  printf "%-34s %10.3f  %.2f M lines/s\n", "vessik, " lines " chunk lines", tl, lines / tl / 1e6
  printf "%-34s %10.3f  %.0f MB/s\n", "vessik, embedding " files " files", te, bytes / te / 1e6
  printf "%-34s %10.3f  %.0f MB/s\n", "cat, the same " files " files", tc, bytes / tc / 1e6
  printf "\nembedding / cat: %.2f  (%.1f MB of images)\n", te / tc, bytes / 1e6
}'
