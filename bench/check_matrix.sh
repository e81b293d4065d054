#!/usr/bin/env bash
# Times telk --check over a matrix of grounds and sweeps: dry, a
# pore-pressure ratio (--ru 0.25) and a water table (--water 0,0,4,1),
# each as it is and on a base 2 m below the toe under k_h 0.1 (--base 2
# --kh 0.1); a dry tension crack of Rankine's depth (--crack auto), and
# one full of water with a load set back (--crack auto --crack-water 1
# --load 2 --load-from 1); sweeps of phi 30, c 2, gamma 1.8 with 8, 400, 4,000 and
# 1,000,000 rows.  Prints each run's seconds (wall and CPU) and the time
# it adds to the plain run of the same sweep, then the worst.
#   bench/check_matrix.sh [most rows] [build]    defaults: 1000000, build/release
# Sweeps of more rows than the first argument are left out: CI runs the
# 8-row column on the build its tests ran.  TELK_THREADS, where set, is
# passed on.
set -euo pipefail
most=${1:-1000000}
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh" time
build="$(bash "$top/bench/build.sh" "${2:-}" telk)"
telk="$build/telk"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
grounds=("" "--base 2 --kh 0.1" "--ru 0.25" "--ru 0.25 --base 2 --kh 0.1"
         "--water 0,0,4,1" "--water 0,0,4,1 --base 2 --kh 0.1"
         "--crack auto" "--crack auto --crack-water 1 --load 2 --load-from 1")
sweeps=("8 20 2.5" "400 200 0.5" "4000 2000 0.5" "1000000 125000 0.125")

now() { date +%s.%N; }
# Wall and CPU seconds of telk with these options on the answers.
timed() {
  local answers=$1 t0 t1
  shift
  t0=$(now)
  /usr/bin/time -f '%U %S' -o cpu "$telk" "$@" <<< "$answers" > /dev/null
  t1=$(now)
  awk -v a="$t0" -v b="$t1" '{ printf "%.3f %.3f", b - a, $1 + $2 }' cpu
}

printf '%-8s  %-36s %9s %9s %9s\n' rows options wall cpu added
for sweep in "${sweeps[@]}"; do
  read -r rows height step <<< "$sweep"
  [ "$rows" -le "$most" ] || continue
  answers="30 2 1.8 $height $step"
  read -r plain _ <<< "$(timed "$answers")"
  for ground in "${grounds[@]}"; do
    # shellcheck disable=SC2086  # the options are words
    read -r wall cpu <<< "$(timed "$answers" --check $ground)"
    printf '%-8s  %-36s %9s %9s %9.3f\n' "$rows" "--check $ground" "$wall" "$cpu" \
      "$(awk -v a="$wall" -v b="$plain" 'BEGIN { print a - b }')"
  done
done | tee runs
awk '$NF + 0 > most + 0 || !worst { most = $NF; worst = $0 } END { print "worst: " worst }' runs
