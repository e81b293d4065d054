#!/usr/bin/env bash
# Builds telk and runs every test, with warnings as errors.
#   scripts/test.sh             optimised build
#   scripts/test.sh --sanitize  under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

dir=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELK_WERROR=ON)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  flags+=(-DTELK_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
