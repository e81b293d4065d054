#!/usr/bin/env bash
# Static checks over the program's sources, as the build compiles them:
# the layers point down only, clang-tidy with the checked-in .clang-tidy
# (on Linux, and on the Windows side against MinGW-w64's headers), and
# cppcheck with the warnings of .cppcheck.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang-tidy cppcheck cmake g++ g++-mingw-w64-x86-64

# chart includes nothing of the project's, nor do bishop and system; report
# only chart (it formats); output only system; driver and the front ends
# sit on top, the browser page's (web) without system, and nothing
# includes them.
layers=(chart: bishop: system: report:chart output:system
        driver:chart,bishop,report,output,system web:chart,bishop,report,output,driver)
shopt -s nullglob
for layer in "${layers[@]}"; do
  room=${layer%%:*}
  allowed="$room,${layer#*:}"
  if up=$(grep -n '#include "' "$room"/*.h "$room"/*.cpp | grep -v '_test\.cpp:' |
          grep -vE "#include \"(${allowed//,/|})/"); then
    printf '%s\nlint: %s includes from a room it may not use\n' "$up" "$room" >&2
    exit 1
  fi
done

cmake -S . -B build/lint -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DTELK_TESTS=OFF >/dev/null
mapfile -t sources < <(sed -n 's/^ *"file": "\(.*\)".*/\1/p' build/lint/compile_commands.json)
# The browser page's interface is built for WebAssembly only; checked here
# with the flags of the sources beside it.
sources+=(web/*.cpp)
# The Windows side, with the same flags for a MinGW-w64 target: the C++
# library's headers and the system's, not GCC's own intrinsics, which
# clang does not read.
mingw=(--extra-arg=--target=x86_64-w64-mingw32)
while read -r dir; do
  mingw+=(--extra-arg-before=-isystem"$dir")
done < <(x86_64-w64-mingw32-g++ -xc++ -E -v /dev/null 2>&1 |
         sed -n '/search starts here:/,/End of search list/p' | sed -n 's/^ //p' |
         grep '/c++')
mapfile -t windows < <(grep -l '_WIN32' "${sources[@]}")
# clang-tidy over each file on Linux, then over those with a Windows side
# for MinGW-w64, one file a process and as many at once as there are
# cores; each file's findings are printed whole, and any fails the lint.
jobs=()
for file in "${sources[@]}"; do jobs+=(linux "$file"); done
for file in "${windows[@]}"; do jobs+=(windows "$file"); done
export TELK_TIDY_WINDOWS="${mingw[*]}"  # no directory of MinGW-w64's has a space
# shellcheck disable=SC2016
if ! printf '%s\0' "${jobs[@]}" | xargs -0 -n 2 -P "$(nproc)" bash -c '
       extra=()
       [ "$1" = windows ] && read -ra extra <<<"$TELK_TIDY_WINDOWS"
       report=$(clang-tidy -p build/lint --quiet "${extra[@]}" "$2" 2>&1) && exit 0
       grep -v "warnings generated" <<<"$report"
       exit 1' tidy; then
  echo "lint: clang-tidy found faults" >&2
  exit 1
fi
# shellcheck disable=SC2046
cppcheck $(grep -v '^#' .cppcheck) -j "$(nproc)" -I . "${sources[@]}"
echo "lint: clean"
