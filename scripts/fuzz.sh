#!/usr/bin/env bash
# Runs the libFuzzer targets under AddressSanitizer and
# UndefinedBehaviorSanitizer, starting from the corpus kept in fuzz/corpus.
#   scripts/fuzz.sh [seconds each]          default 60; the corpus is left as it is
#   scripts/fuzz.sh [seconds each] --keep   merges what was found into fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/deps.sh clang libclang-rt-14-dev cmake

out=build/fuzz
cmake -S . -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DTELK_FUZZ=ON >/dev/null
cmake --build "$out" -j "$(nproc)" >/dev/null

for target in answers cells; do
  work="$out/corpus-$target"
  rm -rf "$work" && mkdir -p "$work" && cp -r "fuzz/corpus/$target/." "$work/"
  "$out/${target}_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
      -artifact_prefix="$out/$target-" "$work" 2>&1 | tail -n 12
  if [ "${2:-}" = "--keep" ]; then
    "$out/${target}_fuzz" -merge=1 "fuzz/corpus/$target" "$work" 2>&1 | tail -n 1
  fi
done
