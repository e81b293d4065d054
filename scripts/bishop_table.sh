#!/usr/bin/env bash
# Remakes bishop/table.cpp, the table of Bishop's fast path, with the
# solver in the release build (the make_table target, with the program's
# flags): about three minutes on two cores.  The table is checked in;
# rerun this when the solver changes, and commit what it writes.  Then
# measure the cubic against the solver with the table_error target
# (some fifteen minutes on two cores): kTableError must be at least twice
# the most it finds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build/release
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTELK_TESTS=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)" --target make_table >/dev/null
"$dir/make_table" > "$dir/table.cpp"
mv "$dir/table.cpp" bishop/table.cpp
echo "bishop_table: wrote bishop/table.cpp"
