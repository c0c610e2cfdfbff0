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
tools/runs-32-bit.sh || skip "this machine's kernel does not run 32-bit Linux programs, so it has no 32-bit Wine"
# The 32-bit loader, which starts 32-bit and 64-bit programs alike in a prefix made with it.
WINE=/usr/lib/wine/wine
[ -x "$WINE" ] || skip "the 32-bit Wine (wine32:i386) is not installed"
i686-w64-mingw32-gcc-posix -Wall -Wextra -Werror -Os -s -static -o build/win32/probe32.exe tools/probe32.c ||
  skip "the 32-bit probe does not compile"

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
HL_FORCE_XVFB=1 wine_env_start tests-32
trap wine_env_stop EXIT

# Into a file: a pipe from a Wine program can be held open by the wineserver.
timeout 60 "$WINE" build/win32/probe32.exe </dev/null >build/win32/probe32.out 2>/dev/null
[ "$(tr -d '\r' <build/win32/probe32.out)" = runs-32-bit ] || { echo "wine32: the 32-bit Wine is installed but does not run the 32-bit probe"; exit 1; }

echo "wine32: this machine runs 32-bit Windows programs"
tools/build.sh win32-tests || exit 1
timeout 900 "$WINE" build/win32-tests/tests/e2e/e2e_tests.exe --hedgeloom="$root/$program" </dev/null
