#!/usr/bin/env bash
# Builds telk and runs every test, with warnings as errors; the optimised
# builds make the tools (telk_tools) too.
#   scripts/test.sh             optimised Linux build, the Windows build
#                               (telk.exe, cross-compiled) run under Wine, and
#                               the browser page in headless Chromium
#   scripts/test.sh --sanitize  Linux build under AddressSanitizer and
#                               UndefinedBehaviorSanitizer
#   scripts/test.sh --linux     optimised Linux build only: no MinGW-w64,
#                               no Wine
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

dir=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELK_WERROR=ON)
# The optimised builds make the tools too (the table's maker, the figure's
# program, the benchmarks; none is built by default), so that a warning
# fails them here rather than when someone next runs them.
targets=(all telk_tools)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  flags+=(-DTELK_SANITIZE=ON)
  targets=(all)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
elif [ "${1:-}" = "--linux" ]; then
  flags+=(-DTELK_WINDOWS_EXE= -DTELK_WEB_DIR=)  # forget what an earlier full run built
elif [ -n "${1:-}" ]; then
  echo "usage: scripts/test.sh [--linux | --sanitize]" >&2
  exit 2
else
  # telk.exe from the same sources, and a Wine to run it in.
  bash scripts/deps.sh g++-mingw-w64-x86-64 wine64
  cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DTELK_WERROR=ON -DTELK_SCAN=ON >/dev/null
  cmake --build build/windows -j "$(nproc)"

  # One Wine prefix for every test, made before they start, and one Wine
  # server kept up while they run.
  export WINEPREFIX="$PWD/$dir/wine-prefix" WINEDEBUG=-all
  bash scripts/wine_prefix.sh
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
  flags+=(-DTELK_WINDOWS_EXE="$PWD/build/windows/telk.exe"
          -DTELK_WINE=/usr/lib/wine/wine64 -DTELK_WINE_PREFIX="$WINEPREFIX")

  # The browser page and its WebAssembly core, and a browser to test it in.
  bash scripts/web.sh -DTELK_WERROR=ON -DTELK_SCAN=ON
  bash scripts/deps.sh chromium
  flags+=(-DTELK_WEB_DIR="$PWD/build/web")
fi
cmake -S . -B "$dir" "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
# The optimised builds: a small run of the sweep's margins against direct
# solves (bench/sweep_accuracy.cpp), which fails where a row is beyond them.
if [ "$dir" = build/test ]; then "$dir"/sweep_accuracy 1; fi
