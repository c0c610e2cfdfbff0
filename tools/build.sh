#!/usr/bin/env bash
# Configures and builds the named configurations:
#   native  the platform-free core and its unit tests, with ASan and UBSan (build/native)
#   win64   Hedgeloom.exe and the Wine test programs (build/win64)
#   win32   a 32-bit Hedgeloom.exe, where the i686 compiler exists (build/win32)
#   win64-clang  everything win64 builds, from the same sources by Clang and LLD,
#           a second compiler's build check (build/win64-clang)
#   win32-tests  the end-to-end tests built for 32-bit, which drive the 32-bit
#           Hedgeloom.exe (build/win32-tests); test.sh builds them where they can run
# The build checks treat every warning as an error: they are looked at by no one else.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

configure() {  # dir, cmake arguments...
  local dir=$1; shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" "$@" >/dev/null
}

for config in "$@"; do
  case $config in
    native)
      configure build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo
      cmake --build build/native -j "$jobs" ;;
    win64)
      configure build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
      cmake --build build/win64 -j "$jobs" ;;
    win32)
      if command -v i686-w64-mingw32-g++-posix >/dev/null; then
        configure build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DHEDGELOOM_TESTS=OFF \
          -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
        cmake --build build/win32 -j "$jobs" --target Hedgeloom
      else
        echo "build: no i686 MinGW-w64 compiler; 32-bit build skipped" >&2
      fi ;;
    win32-tests)
      configure build/win32-tests -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
      cmake --build build/win32-tests -j "$jobs" --target e2e_tests ;;
    win64-clang)
      # A tree configured when Clang built the program alone is configured afresh.
      grep -qs '^HEDGELOOM_TESTS:BOOL=OFF' build/win64-clang/CMakeCache.txt && rm build/win64-clang/CMakeCache.txt
      configure build/win64-clang -DCMAKE_TOOLCHAIN_FILE=cmake/clang-mingw-w64-x86_64.cmake \
        -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
      cmake --build build/win64-clang -j "$jobs" ;;
    *) echo "build: unknown configuration $config" >&2; exit 2 ;;
  esac
done
