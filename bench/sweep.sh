#!/usr/bin/env bash
# Times large sweeps against the durable floor: the same bytes written from
# memory in 1 MiB blocks, each handed to writeback, then synced.
#   bench/sweep.sh [rows] [pairs] [build]    defaults: 10000000 rows, 5 pairs
# In each pair, in turn: telk on an easy sweep (phi 35, c 1, gamma 2.2,
# definition 0.125, whose heights add up exactly; the cohesion ratio keeps
# its two decimals over long runs of rows), the floor writing as many
# bytes, cat copying the file and sync, and telk on a hard sweep of as many
# rows (c 1e12: the cohesion ratio is new on nearly every row), and telk
# --check on the easy sweep, which writes the check file too, and the same
# on wet ground on a deeper base under an earthquake's load (--ru 0.2
# --base 2 --kh 0.15), which the solver answers along the sweep rather than
# the table: the time it adds is the solver's.  Prints the medians, the
# ratios to the floor and of the hard sweep to the easy one (medians of the
# pairs' ratios), rows per second and the peak resident
# memory of telk, and fails if that reaches 16 MiB (two files of three 1 MiB
# blocks each, with --check): the sweep must stream.
# The programs are build/release's (Release, made here); with a build
# directory as third argument, that build's telk and floor, made there if
# they are not yet: CI passes build/test, the build its tests ran, which
# differs from build/release only by -O2 rather than -O3 and its debug
# information.  TELK_BENCH_SOLVED=0 leaves out the solved run (CI does: the
# solver's cost has its own benchmark, bench/check_matrix.sh, and a million
# solved rows would cost CI some 150 s of processor time).
set -euo pipefail
rows=${1:-10000000}
pairs=${2:-5}
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh"
bash "$top/scripts/deps.sh" time
build="$(bash "$top/bench/build.sh" "${3:-}" telk floor)"
telk="$build/telk"
floor="$build/floor"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
height=$(awk -v n="$rows" 'BEGIN { printf "%.3f", n * 0.125 }')
printf '35 1 2.2 %s 0.125\n' "$height" > easy
printf '35 1e12 2.2 %s 0.125\n' "$height" > hard

now() { date +%s.%N; }
# Seconds taken by the command, reading the file $1 with its output
# dropped; its peak memory in KiB goes to the file memory.  Each starts once earlier writes are on disk, so that none pays for
# another's writeback.
timed() {
  local t0 t1 input=$1
  shift
  sync
  t0=$(now)
  /usr/bin/time -f %M -o memory "$@" < "$input" > /dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }'
}
results=()
for ((i = 0; i < pairs; i++)); do
  rm -f TELK_result.xls floor.xls copy.xls
  easy=$(timed easy "$telk"); easy_memory=$(cat memory)
  bytes=$(stat -c %s TELK_result.xls)
  made=$(($(wc -l < TELK_result.xls) - 6))
  base=$(timed /dev/null "$floor" floor.xls "$bytes")
  copy=$(timed /dev/null sh -c 'cat TELK_result.xls > copy.xls && sync copy.xls')
  # Every run writes a new file: replacing an old one of hundreds of MB
  # would add the time its blocks take to free.
  rm -f TELK_result.xls floor.xls copy.xls
  hard=$(timed hard "$telk"); hard_memory=$(cat memory)
  rm -f TELK_result.xls
  checked=$(timed easy "$telk" --check); checked_memory=$(cat memory)
  rm -f TELK_result.xls TELK_check.xls
  solved=- solved_memory=0
  if [ "${TELK_BENCH_SOLVED:-1}" != 0 ]; then
    solved=$(timed easy "$telk" --check --ru 0.2 --base 2 --kh 0.15); solved_memory=$(cat memory)
    rm -f TELK_result.xls TELK_check.xls
  fi
  results+=("$easy $base $copy $hard $easy_memory $hard_memory $checked $checked_memory $solved $solved_memory")
done

printf '%s\n' "${results[@]}" | awk -v rows="$made" -v bytes="$bytes" '
  function median(a, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  { easy[NR] = $1; base[NR] = $2; copy[NR] = $3; hard[NR] = $4; checked[NR] = $7; solved[NR] = $9
    r_easy[NR] = $1 / $2; r_copy[NR] = $3 / $2; r_hard[NR] = $4 / $1; r_checked[NR] = $7 / $1
    if ($5 > peak) peak = $5; if ($6 > peak) peak = $6; if ($8 > peak) peak = $8; if ($10 > peak) peak = $10
    printf "pair %d: telk %.3f s, floor %.3f s, cat + sync %.3f s, hard telk %.3f s, telk --check %.3f s, solved %s s\n", NR, $1, $2, $3, $4, $7, $9 }
  END {
    printf "rows %d, file %.1f MB\n", rows, bytes / 1e6
    printf "telk %.3f s, floor %.3f s, cat + sync %.3f s, hard telk %.3f s (medians)\n",
           median(easy, NR), median(base, NR), median(copy, NR), median(hard, NR)
    printf "telk --check %.3f s, with --ru 0.2 --base 2 --kh 0.15 %s s (medians)\n",
           median(checked, NR), solved[1] == "-" ? "-" : sprintf("%.3f", median(solved, NR))
    printf "telk / floor %.2f, cat + sync / floor %.2f, hard / easy %.2f, checked / easy %.2f (medians of %d pairs)\n",
           median(r_easy, NR), median(r_copy, NR), median(r_hard, NR), median(r_checked, NR), NR
    printf "%.1f million rows/s easy, %.1f million rows/s hard\n",
           rows / median(easy, NR) / 1e6, rows / median(hard, NR) / 1e6
    printf "peak resident memory %.1f MiB\n", peak / 1024
    if (peak >= 16 * 1024) { print "bench: peak memory is not flat (16 MiB or more)" > "/dev/stderr"; exit 1 }
  }'
