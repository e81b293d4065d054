# Compiles the core to WebAssembly for the browser page, with Debian's
# clang 19 and WASI C library (packages clang-19 lld-19 wasi-libc
# libc++-19-dev-wasm32 libc++abi-19-dev-wasm32 libclang-rt-19-dev-wasm32):
#   cmake -S . -B build/web -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake
#   cmake --build build/web
# CMake 3.25 has no WASI platform of its own; the generic one does.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)

set(CMAKE_CXX_COMPILER clang++-19)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
# This libc++ is built without exceptions, and its headers' throws would
# call a runtime it does not have: they abort instead.
set(CMAKE_CXX_FLAGS_INIT -fno-exceptions)

set(CMAKE_FIND_ROOT_PATH /usr/lib/wasm32-wasi /usr/include/wasm32-wasi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXECUTABLE_SUFFIX_CXX .wasm)
