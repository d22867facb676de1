#!/usr/bin/env bash
# Times vessik and Tamrisk as whole programs against the tools a user would
# pick instead, on inputs generated here, and prints a table of medians and
# ratios to each row's reference (the first contender of the row):
#   1. embedding 91 large PNG files (218 MB): vessik against cat writing the
#      same files into one output file;
#   2. a script of one million short chunk lines: vessik, lines per second;
#   3. the 91-frame benchmark projects: the meadow (a 256-colour scene; a
#      size with the suffix "rgb" is its variant of some ten thousand colours
#      a frame) at each of SIZES, and one project of each of KINDS (see
#      bench/bench_project.h): Tamrisk --export (compose, encode, and make
#      the animation) once for each --format, against the peers that make the
#      same kind of animation from the frames the export wrote: ImageMagick's
#      convert assembling an MNG (its resource limits raised, see below),
#      apngasm and apngasm -z2 (zopfli) making an APNG, ImageMagick's
#      undithered OptimizePlus GIF optimised further by gifsicle -O3, ffmpeg's
#      GIF of one palette for all frames, undithered, of changed rectangles,
#      and img2webp -loop 0 -lossless -min_size once Tamrisk makes WebP; then
#      each export against the target of its format (the "Targets" table at
#      the end, with the GIFs' PSNR and whether ffmpeg decodes our APNG
#      exactly);
#   4. compose_frame per frame (editor_bench), against the animation test's
#      80 ms tick.
#
# Builds nothing. Give it a Release build folder with the benchmarks:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAMRISK_BUILD_BENCH=ON
#   cmake --build build-bench
#   scripts/bench.sh build-bench
# The peers come with scripts/setup.sh --bench; a missing one is left out,
# and one that fails is reported and its row left without a size.
#
# RUNS (default 5) timed rounds; each round runs every contender once, in
# turn (every other round backwards), so that a change in the machine's load
# falls on all of them alike. Dirty pages are synced before every run.
# WARMUP=0 skips the untimed round before them. SIZES (default
# "640x480 640x480rgb 1920x1080") are the meadow's sizes, KINDS (default
# "sprites switch gradient pixel64 pixel16 hd") the other projects; either
# may be empty. FORMATS (default every format Tamrisk makes) limits the
# animations to some of mng, compact-mng, apng, gif and webp. The inputs and outputs (about
# 1 GB) go to a temporary folder under TMPDIR, removed at the end.
set -euo pipefail
export LC_ALL=C # a decimal point in EPOCHREALTIME and awk

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build-bench}" 2>/dev/null && pwd) || {
  echo "No build folder ${1:-$root/build-bench}; see the head of $0." >&2
  exit 1
}
bin=$build/bin
runs=${RUNS:-5}
warmup=${WARMUP:-1}
sizes=${SIZES-640x480 640x480rgb 1920x1080}
kinds=${KINDS-sprites switch gradient pixel64 pixel16 hd}
# The formats to export; webp joins them once Tamrisk knows it (below).
formats=${FORMATS-mng compact-mng apng gif}
want_webp=${FORMATS-webp}
formats=$(echo " $formats " | sed "s/ webp / /; s/^ *//; s/ *$//")
line_count=1000000
file_count=91
file_size=2400000 # 91 files: 218 MB
tick_ms=80

for program in vessik Tamrisk make_bench_project editor_bench; do
  if [ ! -x "$bin/$program" ]; then
    echo "No $program in $bin; build with -DTAMRISK_BUILD_BENCH=ON (see the head of $0)." >&2
    exit 1
  fi
done
have() { command -v "$1" >/dev/null 2>&1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/bench.XXXXXX")
# KEEP=1 keeps the folder, to look into the files afterwards.
if [ "${KEEP:-0}" = 1 ]; then
  trap 'echo "Kept $work"' EXIT
else
  trap 'rm -rf "$work"' EXIT
fi
q() { printf '%q' "$1"; }

# ------------------------------------------------------------------ inputs

echo "Generating inputs in $work ..."

# A million short chunk lines of the kinds an animation script holds, cycled.
awk -v n="$line_count" 'BEGIN {
  split("MHDR 320 240 10 0 0 0 0|LOOP 1 0x7fffffff|FRAM 1 \\0 2 0 0 0 5|" \
        "DEFI 1 0 1 10 20|tEXt Title frame|ENDL 1|MEND", kinds, "|")
  print "# MNG=lines.mng"
  for (i = 0; i < n; i++) print kinds[i % 7 + 1]
}' >"$work/lines.txt"

# 91 files that begin with the PNG signature (the compiler copies the rest as
# it is). The filler differs from file to file but is the same on every run.
mkdir "$work/embed"
{
  echo "# MNG=embed.mng"
  echo "MHDR 320 240 10 0 0 0 0"
  echo "LOOP 1 0x7fffffff"
} >"$work/embed/embed.txt"
for i in $(seq -w 0 $((file_count - 1))); do
  {
    printf '\x89PNG\r\n\x1a\n'
    (yes "frame $i: filler that stands in for compressed image data 0123456789" || true) |
      head -c $((file_size - 8))
  } >"$work/embed/frame$i.png"
  echo "IHDR frame$i.png" >>"$work/embed/embed.txt"
done
printf 'ENDL 1\nMEND\n' >>"$work/embed/embed.txt"
frame_bytes=$((file_count * file_size))

# ImageMagick keeps every frame in its pixel cache; Debian's policy caps the
# cache at 1 GiB of disk, which stops it at 1920 x 1080. Its runs here get a
# policy of their own with the caps raised, so that it runs from memory.
mkdir "$work/magick"
cat >"$work/magick/policy.xml" <<'EOF'
<policymap>
  <policy domain="resource" name="memory" value="8GiB"/>
  <policy domain="resource" name="map" value="8GiB"/>
  <policy domain="resource" name="area" value="1GP"/>
  <policy domain="resource" name="disk" value="16GiB"/>
</policymap>
EOF
export MAGICK_CONFIGURE_PATH=$work/magick

# The benchmark projects: the meadow at each of SIZES, then one of each of
# KINDS; for each, one export whose frame files the peers get, a list of
# those files, their size and their most colours in one frame.
projects=()
for size in $sizes; do
  projects+=("$size")
done
for kind in $kinds; do
  projects+=("$kind")
done
declare -A width height most_colours many_frames frame_list
for project in "${projects[@]}"; do
  case $project in
    [0-9]*)
      dims=${project%rgb}
      colours=()
      if [ "$dims" != "$project" ]; then
        colours=(--colours rgb)
      fi
      "$bin/make_bench_project" "$work/p$project" "${dims%x*}" "${dims#*x}" "${colours[@]}"
      ;;
    *) "$bin/make_bench_project" "$work/p$project" --kind "$project" ;;
  esac
  mkdir "$work/frames$project"
  "$bin/Tamrisk" --export "$work/p$project/bench.pst" --output-dir "$work/frames$project" >/dev/null
  if [ "$project" = "${projects[0]}" ] && [[ " $want_webp " == *" webp "* ]]; then
    # A format this Tamrisk refuses is left out.
    if "$bin/Tamrisk" --export "$work/p$project/bench.pst" --format webp \
      --output-dir "$work/probe" --force >/dev/null 2>&1; then
      formats+=" webp"
    else
      echo "Tamrisk makes no WebP; its row is left out."
    fi
  fi
  frame_list[$project]=$(printf '%q ' "$work/frames$project"/bench[0-9][0-9].png)
  read -r "width[$project]" "height[$project]" < <(identify -format '%w %h\n' "$work/frames$project/bench00.png")
  # Colours of each frame (ImageMagick's %k): the most, and how many frames
  # have more than 256.
  read -r "most_colours[$project]" "many_frames[$project]" < <(
    convert "$work/frames$project"/bench[0-9][0-9].png -format '%k\n' info: |
      awk '{ if ($1 > m) m = $1; if ($1 > 256) n++ } END { print m + 0, n + 0 }')
  for format in $formats; do
    mkdir "$work/out$project-$format"
  done
  mkdir "$work/out$project"
done

# ------------------------------------------------------------- contenders

# Each contender: a row, a name, the command and its output file. The first
# contender of a row is the row's reference.
rows=() names=() commands=() outputs=()
add() {
  rows+=("$1")
  names+=("$2")
  commands+=("$3")
  outputs+=("$4")
}
embed_files=$(printf '%q ' "$work"/embed/frame*.png)
add embed "cat" "cat $embed_files> $(q "$work/embed/cat.out")" "$work/embed/cat.out"
add embed "vessik" "$(q "$bin/vessik") -y -q $(q "$work/embed/embed.txt")" "$work/embed/embed.mng"
add lines "vessik" "$(q "$bin/vessik") -y -q $(q "$work/lines.txt")" "$work/lines.mng"
for project in "${projects[@]}"; do
  frames=${frame_list[$project]}
  pattern=$(q "$work/frames$project/bench%02d.png")
  out=$work/out$project
  row=$project
  tamrisk() {
    add "$row" "Tamrisk $1" \
      "$(q "$bin/Tamrisk") --export $(q "$work/p$project/bench.pst") --format $1 --output-dir $(q "$out-$1") --force" \
      "$out-$1/bench$2"
  }
  for format in $formats; do
    case $format in
      mng)
        tamrisk mng .mng
        if have convert; then
          # ImageMagick 6.9 fails on frames of at most 16 colours ("Valid
          # palette required for paletted images") unless told to write RGB.
          truecolor=""
          if [ "${most_colours[$project]}" -le 16 ]; then
            truecolor=" -type TrueColor"
          fi
          add "$row" "ImageMagick MNG" \
            "convert -delay 10 -loop 0 $frames$truecolor $(q "$out/im.mng")" "$out/im.mng"
        fi
        ;;
      compact-mng) tamrisk compact-mng .mng ;;
      apng)
        tamrisk apng .png
        if have apngasm; then
          add "$row" "apngasm" "apngasm $(q "$out/apngasm.png") $frames 1 10" "$out/apngasm.png"
          add "$row" "apngasm -z2" "apngasm $(q "$out/apngasm-z2.png") $frames 1 10 -z2" \
            "$out/apngasm-z2.png"
        fi
        ;;
      gif)
        tamrisk gif .gif
        if have convert && have gifsicle; then
          add "$row" "IM + gifsicle -O3" \
            "convert -delay 10 -loop 0 $frames +dither -layers OptimizePlus $(q "$out/im.gif") && gifsicle -O3 $(q "$out/im.gif") -o $(q "$out/gifsicle.gif")" \
            "$out/gifsicle.gif"
        fi
        if have ffmpeg; then
          # One palette for all frames, no dithering, changed rectangles.
          # -reinit_filter 0: frame files of palette and of RGB pictures in
          # one run would otherwise restart the filters at each change, and
          # ffmpeg 5.1 then writes the frames of the last run alone.
          add "$row" "ffmpeg GIF" \
            "ffmpeg -v error -y -framerate 10 -reinit_filter 0 -i $pattern -filter_complex '[0:v]split[a][b];[a]palettegen=reserve_transparent=0[p];[b][p]paletteuse=dither=none:diff_mode=rectangle' -loop 0 $(q "$out/ffmpeg.gif")" \
            "$out/ffmpeg.gif"
        fi
        ;;
      webp)
        tamrisk webp .webp
        if have img2webp; then
          add "$row" "img2webp" \
            "img2webp -loop 0 -lossless -min_size $frames -o $(q "$out/img2webp.webp")" \
            "$out/img2webp.webp"
        fi
        ;;
    esac
  done
done

# Every run starts without its output: the editor, too, deletes the old
# animation before the compiler runs, and replacing a large file costs extra
# on some file systems (ext4 flushes the new file), which is no part of the
# work measured.
run() {
  rm -f "${outputs[$1]}"
  if [[ ${names[$1]} == Tamrisk* ]]; then
    rm -f "$(dirname "${outputs[$1]}")"/bench*
  fi
  local start end
  # Dirty pages that earlier runs left are written out now, not during this run.
  sync
  # `times` in this shell, not in a subshell: only this shell's children count.
  times >"$work/cpu.before"
  start=$EPOCHREALTIME
  # A contender that fails is reported and leaves no output behind.
  if ! eval "${commands[$1]}" >/dev/null; then
    echo "${names[$1]} (${rows[$1]}) failed" >&2
    rm -f "${outputs[$1]}"
  fi
  end=$EPOCHREALTIME
  times >"$work/cpu.after"
  awk -v a="$start" -v b="$end" -v c="$(children_cpu <"$work/cpu.before")" \
    -v d="$(children_cpu <"$work/cpu.after")" 'BEGIN { printf "%.6f %.3f\n", b - a, d - c }'
}

# User and system seconds of the finished children, from the output of `times`.
children_cpu() {
  awk 'NR == 2 {
    for (i = 1; i <= 2; i++) { split($i, p, "m"); sum += p[1] * 60 + p[2] }
    printf "%.3f\n", sum
  }'
}

# Median of the numbers in column $1 (default 1) of standard input.
median() {
  awk -v c="${1:-1}" '{ print $c }' | sort -g | awk '{ v[NR] = $1 } END {
    if (NR == 0) exit 1
    if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2
  }'
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
if [ "$warmup" != 0 ]; then
  echo "Untimed round ..."
  for k in "${!names[@]}"; do
    run "$k" >/dev/null
  done
fi
# Both embedding outputs carry the same image bytes: the MNG adds its
# signature, MHDR, LOOP, ENDL and MEND (90 bytes) and drops the files' own
# signatures.
for k in 0 1; do
  run "$k" >/dev/null
done
embed_size=$(stat -c %s "$work/embed/embed.mng")
cat_size=$(stat -c %s "$work/embed/cat.out")
if [ "$cat_size" -ne "$frame_bytes" ] || [ "$embed_size" -ne $((frame_bytes - 8 * file_count + 90)) ]; then
  echo "Unexpected output sizes: embed.mng $embed_size, cat.out $cat_size bytes" >&2
  exit 1
fi

echo "Timing $runs rounds of ${#names[@]} contenders ..."
order=("${!names[@]}")
for ((r = 1; r <= runs; r++)); do
  # Every other round in reverse order: no contender always follows another.
  for ((i = 0; i < ${#order[@]}; i++)); do
    k=${order[$((r % 2 ? i : ${#order[@]} - 1 - i))]}
    run "$k" >>"$work/times$k"
  done
  echo "  round $r done"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

echo "Timing compose_frame (editor_bench) ..."
compose_csv=$("$bin/editor_bench" --benchmark_filter='BM_ComposeFrame' --benchmark_format=csv \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null)

# ------------------------------------------------------------------ report

cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo
echo "Machine: $(nproc) cores, $cpu; load average $load_before before, $load_after after."
echo "Medians of $runs runs: wall-clock seconds, CPU seconds (user and system, all"
echo "threads and child processes), and the ratio of the wall-clock median to that"
echo "of the row's first contender."
echo
format='%-10s %-20s %9s %9s %7s %14s  %s\n'
# shellcheck disable=SC2059 # the format is the table's own
printf "$format" "row" "contender" "seconds" "cpu s" "ratio" "output bytes" "note"
declare -A reference
for k in "${!names[@]}"; do
  t=$(median 1 <"$work/times$k")
  c=$(median 2 <"$work/times$k")
  row=${rows[$k]}
  if [ -z "${reference[$row]:-}" ]; then
    reference[$row]=$t
  fi
  bytes=$(stat -c %s "${outputs[$k]}" 2>/dev/null || echo -)
  case $row in
    embed) note=$(awk -v b="$frame_bytes" -v t="$t" 'BEGIN { printf "%.0f MB/s", b / t / 1e6 }') ;;
    lines) note=$(awk -v n="$line_count" -v t="$t" 'BEGIN { printf "%.2f M lines/s", n / t / 1e6 }') ;;
    *) note=$(awk -v t="$t" -v f="$file_count" 'BEGIN { printf "%.1f ms a frame", t * 1000 / f }') ;;
  esac
  awk -v f="$format" -v row="$row" -v name="${names[$k]}" -v t="$t" -v c="$c" \
    -v ref="${reference[$row]}" -v bytes="$bytes" -v note="$note" \
    'BEGIN { printf f, row, name, sprintf("%.3f", t), sprintf("%.3f", c),
             sprintf("%.2f", t / ref), bytes, note }'
done
# name,iterations,real_time,cpu_time,time_unit,...: the medians of the runs.
echo "$compose_csv" | awk -F, -v f="$format" -v tick="$tick_ms" '
  $1 ~ /BM_ComposeFrame\/[0-9]+\/[0-9]+_median/ {
    split($1, part, "/")
    sub(/_median.*/, "", part[3])
    unit = $5
    gsub(/"/, "", unit)
    scale = unit == "ns" ? 1e-6 : unit == "us" ? 1e-3 : unit == "s" ? 1e3 : 1
    ms = $3 * scale
    printf f, "compose", part[2] "x" part[3], sprintf("%.5f", ms / 1000),
      sprintf("%.5f", $4 * scale / 1000), sprintf("%.4f", ms / tick), "-",
      sprintf("%.3f ms a frame; ratio to the %d ms tick", ms, tick)
  }'

# ----------------------------------------------------------------- targets

# Each export against the target of its format, the peers' files made above
# from the same frame files. Size: ours no larger than the peer's (the smaller
# of apngasm and apngasm -z2 for the compact MNG and the APNG; for a GIF of
# frames of more than 256 colours, ffmpeg's, at no lower PSNR). Time: at most
# 0.25 of the peer's median (ffmpeg's GIF and img2webp: 1.0).
#
# PSNR of a GIF: its frames as ImageMagick coalesces them against the frame
# files, over all frames' red, green and blue samples together:
# MSE = sum of squared differences / (frames x width x height x 3),
# PSNR = 10 log10(255^2 / MSE) dB (bench/rgb_compare).
declare -A at
for k in "${!names[@]}"; do
  at["${rows[$k]}|${names[$k]}"]=$k
done
bytes_of() { stat -c %s "${outputs[$1]}" 2>/dev/null || echo 0; }
# PSNR, differing frames, frames: of an animation's RGB frames on standard input.
against_frames() {
  "$bin/rgb_compare" /dev/stdin <(eval "convert ${frame_list[$1]} rgb:-") \
    $((${width[$1]} * ${height[$1]} * 3)) 2>&1 || true
}
echo
echo "Targets (sizes in bytes, times medians in seconds; ratio = ours / peer's):"
tformat='%-11s %-12s %11s %8s  %-18s %11s %8s %7s %7s %6s  %-5s %-5s %s\n'
# shellcheck disable=SC2059 # the format is the table's own
printf "$tformat" "project" "format" "ours B" "ours s" "peer" "peer B" "peer s" \
  "size" "time" "limit" "size" "time" "note"
verdict() { awk -v r="$1" -v l="$2" 'BEGIN { print (r <= l ? "PASS" : "FAIL") }'; }
target() { # project format ours-name size-peers (|-separated) time-peer limit note
  local ours=${at[$1|$3]:-} size_k="" time_k=${at[$1|$5]:-} peer
  [ -n "$ours" ] || return 0
  IFS='|' read -ra peers <<<"$4"
  for peer in "${peers[@]}"; do
    local k=${at[$1|$peer]:-}
    if [ -n "$k" ] && { [ -z "$size_k" ] || [ "$(bytes_of "$k")" -lt "$(bytes_of "$size_k")" ]; }; then
      size_k=$k
    fi
  done
  if [ -z "$size_k" ] || [ -z "$time_k" ]; then
    # shellcheck disable=SC2059
    printf "$tformat" "$1" "$2" "$(bytes_of "$ours")" "$(median <"$work/times$ours")" "(no peer)" \
      - - - - - - - "$7"
    return 0
  fi
  local ob pb ot pt sr tr sv tv
  ob=$(bytes_of "$ours") pb=$(bytes_of "$size_k")
  ot=$(median <"$work/times$ours") pt=$(median <"$work/times$time_k")
  sr=$(awk -v a="$ob" -v b="$pb" 'BEGIN { printf "%.3f", a / b }')
  tr=$(awk -v a="$ot" -v b="$pt" 'BEGIN { printf "%.3f", a / b }')
  sv=$(verdict "$sr" 1)
  tv=$(verdict "$tr" "$6")
  if [ -n "${8:-}" ] && [ "$8" = FAIL ]; then
    sv=FAIL
  fi
  # shellcheck disable=SC2059
  printf "$tformat" "$1" "$2" "$ob" "$(printf %.3f "$ot")" "${names[$size_k]}" "$pb" \
    "$(printf %.3f "$pt")" "$sr" "$tr" "$6" "$sv" "$tv" "$7"
}
for project in "${projects[@]}"; do
  target "$project" mng "Tamrisk mng" "ImageMagick MNG" "ImageMagick MNG" 0.25 ""
  target "$project" compact-mng "Tamrisk compact-mng" "apngasm|apngasm -z2" apngasm 0.25 ""
  apng_note=""
  if [ -n "${at[$project|Tamrisk apng]:-}" ] && have ffmpeg; then
    read -r _ bad count _ < <(ffmpeg -v error -f apng -i "${outputs[${at[$project|Tamrisk apng]}]}" \
      -fps_mode passthrough -f rawvideo -pix_fmt rgb24 - | against_frames "$project")
    apng_note="ffmpeg decodes ${bad:-?} of ${count:-?} frames wrong"
  fi
  target "$project" apng "Tamrisk apng" "apngasm|apngasm -z2" apngasm 0.25 "$apng_note"
  colour_note="${many_frames[$project]} frames over 256 colours (most ${most_colours[$project]})"
  if [ "${many_frames[$project]}" = 0 ]; then
    target "$project" gif "Tamrisk gif" "IM + gifsicle -O3" "IM + gifsicle -O3" 0.25 "$colour_note"
  elif [ -n "${at[$project|Tamrisk gif]:-}" ] && [ -n "${at[$project|ffmpeg GIF]:-}" ]; then
    read -r ours_psnr _ < <(convert "${outputs[${at[$project|Tamrisk gif]}]}" -coalesce rgb:- |
      against_frames "$project")
    read -r peer_psnr _ < <(convert "${outputs[${at[$project|ffmpeg GIF]}]}" -coalesce rgb:- |
      against_frames "$project")
    psnr_verdict=$(awk -v a="$ours_psnr" -v b="$peer_psnr" 'BEGIN {
      if (a == "inf") print "PASS"; else if (b == "inf") print "FAIL"; else print (a + 0 >= b + 0 ? "PASS" : "FAIL") }')
    target "$project" gif "Tamrisk gif" "ffmpeg GIF" "ffmpeg GIF" 1.0 \
      "$colour_note; PSNR ours $ours_psnr dB, ffmpeg's $peer_psnr dB ($psnr_verdict)" "$psnr_verdict"
  fi
  target "$project" webp "Tamrisk webp" img2webp img2webp 1.0 ""
done
