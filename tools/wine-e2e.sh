#!/usr/bin/env bash
# The end-to-end tests of build/win64 against another build of Hedgeloom.exe
# (the one Clang made), on a private prefix (build/wine-$HL_PREFIX, default
# build/wine-tests) and a virtual screen of their own; exits non-zero when any
# of them fails.
#   tools/wine-e2e.sh PROGRAM [GoogleTest options]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:?usage: wine-e2e.sh PROGRAM [GoogleTest options]}") || exit 2
shift
tests="$root/build/win64/tests/e2e/e2e_tests.exe"
[ -f "$tests" ] || { echo "wine-e2e: $tests is missing (build win64 first)"; exit 2; }

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
HL_FORCE_XVFB=1 wine_env_start "${HL_PREFIX:-tests}"
trap wine_env_stop EXIT
timeout 900 "$WINE" "$tests" --hedgeloom="$program" "$@" </dev/null
