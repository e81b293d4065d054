#!/usr/bin/env bash
# Builds telk and starts it in the current directory, where it writes
# TELK_result.xls.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
bash "$top/scripts/deps.sh"
cmake -S "$top" -B "$top/build/release" -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF >/dev/null
cmake --build "$top/build/release" -j "$(nproc)" >/dev/null
exec "$top/build/release/telk"
