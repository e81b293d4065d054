#!/usr/bin/env bash
# Remakes bishop/table.cpp, the table of Bishop's fast path, with the
# solver in an optimised build: about four minutes on two cores.  The table is checked in;
# rerun this when the solver changes, and commit what it writes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build/bishop-table
mkdir -p "$dir"
g++ -std=c++20 -O2 -Wall -Wextra -Wpedantic -Werror -ffp-contract=off -fno-fast-math -pthread -I . \
  -o "$dir/make_table" bishop/make_table.cpp bishop/section.cpp bishop/slices.cpp \
  bishop/equilibrium.cpp bishop/search_circle.cpp bishop/search_grid.cpp \
  bishop/search_refine.cpp bishop/crest_level.cpp bishop/critical.cpp
"$dir/make_table" > "$dir/table.cpp"
mv "$dir/table.cpp" bishop/table.cpp
echo "bishop_table: wrote bishop/table.cpp"
