#!/usr/bin/env bash
# Builds the browser page, build/web/telk.html: the core compiled to
# WebAssembly, inlined with the page's script and styles and the plotting
# library into one file that opens from disk, with nothing to fetch.
#   scripts/web.sh [cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh cmake clang-19 lld-19 wasi-libc libc++-19-dev-wasm32 \
  libc++abi-19-dev-wasm32 libclang-rt-19-dev-wasm32
command -v npm >/dev/null || bash scripts/deps.sh nodejs npm

# The plotting library, and the browser driver of the tests, as the
# lockfile pins them.
if ! cmp -s web/package-lock.json web/node_modules/.package-lock.telk; then
  (cd web && npm ci --no-audit --no-fund)
  cp web/package-lock.json web/node_modules/.package-lock.telk
fi
cmake -S . -B build/web --no-warn-unused-cli -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake \
  -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build build/web -j "$(nproc)" >/dev/null
echo "web.sh: the page is $PWD/build/web/telk.html; open it in a browser"
