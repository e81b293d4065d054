# Cross-compiles telk.exe for 64-bit Windows with Debian's MinGW-w64
# (package g++-mingw-w64-x86-64):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
#   cmake --build build-win
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TELK_MINGW x86_64-w64-mingw32)
# The posix thread model: std::thread, for the result file's writer thread
# (winpthreads is linked in statically with the rest).
set(CMAKE_C_COMPILER ${TELK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TELK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TELK_MINGW}-windres)

# Headers and libraries from the cross sysroot only; programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TELK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
