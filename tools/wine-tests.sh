#!/usr/bin/env bash
# The Wine tier: the contract tests (the typed-address logic against the
# prefix's real registry and a real list-view), and the
# end-to-end tests that drive the real Hedgeloom.exe from outside.
# Runs them on the private prefix build/wine-tests, on a virtual screen of
# their own (the end-to-end tests click and type for real), and exits
# non-zero when any of them fails or is missing.
#   tools/wine-tests.sh [BUILD_DIR]        default build/win64
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd) || exit 2

# shellcheck source=tools/wine-env.sh
source "$root/tools/wine-env.sh"
HL_FORCE_XVFB=1 wine_env_start tests
trap wine_env_stop EXIT

status=0
suite() {  # name, program, arguments...
  local name=$1 program=$2 rc
  shift 2
  if [ ! -f "$program" ]; then
    echo "wine-tests: $name: $program is missing (build it first)"
    status=1
    return
  fi
  echo "-- $name: $program"
  timeout 900 "$WINE" "$program" "$@" </dev/null
  rc=$?
  if [ "$rc" -ne 0 ]; then
    echo "wine-tests: $name failed (exit $rc)"
    status=1
  fi
}

suite contract "$build/tests/wine/contract_tests.exe"
suite e2e "$build/tests/e2e/e2e_tests.exe" --hedgeloom="$build/Hedgeloom.exe"
exit $status
