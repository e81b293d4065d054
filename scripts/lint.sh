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
# The Windows side of the platform code, against MinGW-w64's headers: the
# C++ library's and the system's, not GCC's own intrinsics, which clang
# does not read.
bash scripts/deps.sh g++-mingw-w64-x86-64
mingw_includes=()
while read -r dir; do
  mingw_includes+=(-isystem "$dir")
done < <(x86_64-w64-mingw32-g++ -xc++ -E -v /dev/null 2>&1 |
         sed -n '/search starts here:/,/End of search list/p' | sed -n 's/^ //p' |
         grep '/c++')
mingw_includes+=(-isystem /usr/x86_64-w64-mingw32/include)
if ! report=$(clang-tidy --quiet driver/platform.cpp report/result_file.cpp -- \
              -std=c++20 --target=x86_64-w64-windows-gnu -I . "${mingw_includes[@]}" 2>&1); then
  grep -v 'warnings generated' <<<"$report"
  exit 1
fi
# shellcheck disable=SC2046
cppcheck $(grep -v '^#' .cppcheck) -I . $sources
echo "lint: clean"
