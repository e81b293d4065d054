#!/usr/bin/env bash
# The build a benchmark times: the directory given (CI passes build/test,
# the build its tests ran), else build/release (Release, configured here);
# the targets named are made there if they are not yet, and the build's
# absolute path is printed.
#   bench/build.sh [build] target...
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
if [ -n "${1:-}" ]; then
  build="$(cd "$1" && pwd)"
else
  build="$top/build/release"
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF >/dev/null
fi
shift
cmake --build "$build" -j "$(nproc)" --target "$@" >/dev/null
echo "$build"
