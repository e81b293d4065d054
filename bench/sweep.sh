#!/usr/bin/env bash
# Times a large sweep against the floor of copying its output with cat.
#   bench/sweep.sh [rows] [pairs]     defaults: 10000000 rows, 5 pairs
# Runs the release telk (phi 35, c 1, gamma 2.2, definition 0.125, whose
# heights add up exactly) in a
# temporary directory with the console sent to /dev/null, then cat copying
# the produced file, in pairs; prints the medians, rows per second, the
# ratio telk / copy (median of the pairs' ratios) and the peak memory, and
# fails if the peak resident memory reaches 8 MiB: the sweep must stream.
set -euo pipefail
rows=${1:-10000000}
pairs=${2:-5}
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh"
bash "$top/scripts/deps.sh" time
cmake -S "$top" -B "$top/build/release" -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF >/dev/null
cmake --build "$top/build/release" -j "$(nproc)" >/dev/null
telk="$top/build/release/telk"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
height=$(awk -v n="$rows" 'BEGIN { printf "%.3f", n * 0.125 }')
printf '35 1 2.2 %s 0.125\n' "$height" > answers

now() { date +%s.%N; }
results=()
for ((i = 0; i < pairs; i++)); do
  rm -f TELK_result.xls copy.xls
  t0=$(now)
  /usr/bin/time -f %M -o memory "$telk" < answers > /dev/null
  t1=$(now)
  cat TELK_result.xls > copy.xls
  t2=$(now)
  results+=("$(awk -v a="$t0" -v b="$t1" -v c="$t2" -v m="$(cat memory)" \
    'BEGIN { printf "%.4f %.4f %.4f %d", b - a, c - b, (b - a) / (c - b), m }')")
done
made=$(($(wc -l < TELK_result.xls) - 6))
bytes=$(stat -c %s TELK_result.xls)

printf '%s\n' "${results[@]}" | awk -v rows="$made" -v bytes="$bytes" '
  function median(a, n,   i, j, t) {
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  { telk[NR] = $1; copy[NR] = $2; ratio[NR] = $3; if ($4 > peak) peak = $4
    printf "pair %d: telk %.3f s, copy %.3f s, ratio %.2f\n", NR, $1, $2, $3 }
  END {
    t = median(telk, NR); c = median(copy, NR); r = median(ratio, NR)
    printf "rows %d, file %.1f MB\n", rows, bytes / 1e6
    printf "telk %.3f s (median), copy %.3f s (median), %.0f rows/s\n", t, c, rows / t
    printf "ratio telk / copy %.2f (median of %d pairs)\n", r, NR
    printf "peak resident memory %.1f MiB\n", peak / 1024
    if (peak >= 8 * 1024) { print "bench: peak memory is not flat (8 MiB or more)" > "/dev/stderr"; exit 1 }
  }'
