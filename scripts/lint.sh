#!/usr/bin/env bash
# Static checks over the program's sources: clang-tidy with the checked-in
# .clang-tidy, and cppcheck with the warnings of .cppcheck.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang-tidy cppcheck cmake g++
sources=$(ls chart/*.cpp report/*.cpp driver/*.cpp | grep -v '_test\.cpp$')
cmake -S . -B build/lint -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DTELK_TESTS=OFF >/dev/null
if ! report=$(clang-tidy -p build/lint --quiet $sources 2>&1); then
  grep -v 'warnings generated' <<<"$report"
  exit 1
fi
# shellcheck disable=SC2046
cppcheck $(grep -v '^#' .cppcheck) -I . $sources
echo "lint: clean"
