#!/usr/bin/env bash
# Every test: set-up, the builds (native; x86-64 by GCC, then by Clang; i686 by
# GCC), the native tier (with sanitizers), then the Wine tier (contract and
# end-to-end tests against the real registry and windows), the end-to-end tests
# again against Clang's program, and against the 32-bit program where this
# machine can run it.
# Ends with one line "tests: N passed, M failed" and a non-zero status on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
mkdir -p build/logs

passed=0 failed=0 broken=""
tally() {  # name, log: adds GoogleTest's counts; a suite that did not report counts as broken
  local p f
  p=$(grep -Eo '^\[  PASSED  \] [0-9]+' "$2" | awk '{s+=$4} END {print s+0}')
  f=$(grep -Eo '^\[  FAILED  \] [0-9]+ tests?,' "$2" | awk '{s+=$4} END {print s+0}')
  passed=$((passed + p)); failed=$((failed + f))
}
suite() {  # name, command...: runs one suite, keeps its log
  local name=$1; shift
  local log="build/logs/$name.log" start=$SECONDS
  echo "== $name"
  "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  tally "$name" "$log"
  echo "== $name: exit $status in $((SECONDS - start)) s"
  [ "$status" -eq 0 ] || broken="$broken $name"
}

tools/setup.sh || exit 1
build_start=$SECONDS
tools/build.sh native win64 win64-clang win32 || { echo "tests: 0 passed, 1 failed (build)"; exit 1; }
echo "== build: $((SECONDS - build_start)) s"

suite native build/native/tests/native/native_tests
[ -x tools/fuzz.sh ] && suite fuzz tools/fuzz.sh
suite wine tools/wine-tests.sh
suite clang tools/wine-e2e.sh build/win64-clang/Hedgeloom.exe
suite wine32 tools/wine32-tests.sh

if [ -n "$broken" ]; then
  echo "failing suites:$broken"
  [ "$failed" -gt 0 ] || failed=1
fi
echo "tests: $passed passed, $failed failed"
[ -z "$broken" ]
