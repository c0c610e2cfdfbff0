#!/usr/bin/env bash
# The end-to-end tests against the 32-bit Hedgeloom.exe, on machines whose Wine
# runs 32-bit Windows programs; elsewhere one line says they are skipped.
# A small 32-bit program is tried first: it must print its word, since a Wine
# that cannot run it may still end with status 0.
# The driver reads the program's list through structures in the program's own
# memory, so a 32-bit program is driven by a 32-bit build of the tests
# (build/win32-tests), built only where it can run.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
program=build/win32/Hedgeloom.exe

skip() { echo "wine32: $1; the end-to-end tests of the 32-bit Hedgeloom.exe are skipped"; exit 0; }
command -v i686-w64-mingw32-gcc-posix >/dev/null || skip "no i686 MinGW-w64 compiler"
[ -f "$program" ] || skip "$program has not been built"
i686-w64-mingw32-gcc-posix -Wall -Wextra -Werror -Os -s -static -o build/win32/probe32.exe tools/probe32.c ||
  skip "the 32-bit probe does not compile"

# A launcher that can start 32-bit programs, where there is one beside wine64.
for candidate in "$(command -v wine || true)" /usr/lib/wine/wine; do
  if [ -n "$candidate" ] && [ -x "$candidate" ]; then WINE=$candidate; break; fi
done
# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
HL_FORCE_XVFB=1 wine_env_start tests
trap wine_env_stop EXIT

word=$(timeout 60 "$WINE" build/win32/probe32.exe </dev/null 2>/dev/null | tr -d '\r')
[ "$word" = runs-32-bit ] || skip "this machine's Wine does not run 32-bit Windows programs"

echo "wine32: this machine runs 32-bit Windows programs; building the 32-bit end-to-end tests"
if [ ! -f build/win32-tests/CMakeCache.txt ]; then
  cmake -S . -B build/win32-tests -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null || exit 1
fi
cmake --build build/win32-tests -j "$(nproc 2>/dev/null || echo 2)" --target e2e_tests || exit 1
timeout 900 "$WINE" build/win32-tests/tests/e2e/e2e_tests.exe --hedgeloom="$root/$program" </dev/null
