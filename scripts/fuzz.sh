#!/usr/bin/env bash
# Runs the libFuzzer targets under AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from the corpus kept in fuzz/corpus.
#   scripts/fuzz.sh [seconds each]          default 60; the corpus is left as it is
#   scripts/fuzz.sh [seconds each] --keep   merges what was found into fuzz/corpus
#   scripts/fuzz.sh 0                       builds the targets and runs none
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/deps.sh clang libclang-rt-14-dev cmake

out=build/fuzz
cmake -S . -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DTELK_FUZZ=ON >/dev/null
cmake --build "$out" -j "$(nproc)" >/dev/null
[ "$seconds" = 0 ] && exit 0

# The targets side by side, each on a core of its own for the seconds
# given; each one's last lines are printed once both have stopped.
targets=(answers cells)
pids=()
for target in "${targets[@]}"; do
  work="$out/corpus-$target"
  rm -rf "$work" && mkdir -p "$work" && cp -r "fuzz/corpus/$target/." "$work/"
  "$out/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$out/$target-" "$work" > "$out/$target.log" 2>&1 &
  pids+=($!)
done
failed=()
for i in "${!targets[@]}"; do
  wait "${pids[$i]}" || failed+=("${targets[$i]}")
  tail -n 12 "$out/${targets[$i]}.log"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: ${failed[*]} failed; the input is in $out (see $out/<target>.log)" >&2
  exit 1
fi
if [ "${2:-}" = "--keep" ]; then
  for target in "${targets[@]}"; do
    "$out/${target}_fuzz" -merge=1 "fuzz/corpus/$target" "$out/corpus-$target" 2>&1 | tail -n 1
  done
fi
