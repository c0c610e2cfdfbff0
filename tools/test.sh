#!/usr/bin/env bash
# Every test: set-up, the builds (native; x86-64 by GCC, then by Clang; i686 by
# GCC), then the suites: set-up itself against a stand-in package system, the
# native tier (with sanitizers) and the fuzz target, the Wine tier (contract and
# end-to-end tests against the real registry and windows), the end-to-end tests
# again against Clang's program, and against the 32-bit program where this
# machine can run it.
# The suites run side by side, each Wine run on a prefix and a screen of its
# own: most of an end-to-end run is Wine starting and ending programs, which
# leaves the cores idle. Each suite's output is shown whole once it ends.
# Ends with one line "tests: N passed, M failed" and a non-zero status on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
rm -rf build/logs
mkdir -p build/logs

passed=0 failed=0 broken=""
tally() {  # log: adds GoogleTest's counts
  local p f
  p=$(grep -Eo '^\[  PASSED  \] [0-9]+' "$1" | awk '{s+=$4} END {print s+0}')
  f=$(grep -Eo '^\[  FAILED  \] [0-9]+ tests?,' "$1" | awk '{s+=$4} END {print s+0}')
  passed=$((passed + p)); failed=$((failed + f))
}
start() {  # name, command...: runs one suite in the background, output to its log
  local name=$1; shift
  (
    begun=$SECONDS
    "$@" >"build/logs/$name.log" 2>&1 </dev/null
    echo "$? $((SECONDS - begun))" >"build/logs/$name.status"
  ) &
}
report() {  # name: shows a finished suite; a suite that did not end well counts as broken
  local name=$1 status seconds
  read -r status seconds <"build/logs/$name.status" || status=1
  echo "== $name"
  cat "build/logs/$name.log"
  tally "build/logs/$name.log"
  echo "== $name: exit $status in ${seconds:-?} s"
  [ "$status" -eq 0 ] || broken="$broken $name"
}

began=$SECONDS
tools/setup.sh || exit 1
echo "== set-up: $((SECONDS - began)) s"
builds=(native win64 win64-clang win32)
# The 32-bit end-to-end tests are built where the 32-bit Wine can run them.
if tools/runs-32-bit.sh && [ -x /usr/lib/wine/wine ] && command -v i686-w64-mingw32-g++-posix >/dev/null; then
  builds+=(win32-tests)
fi
build_start=$SECONDS
tools/build.sh "${builds[@]}" || { echo "tests: 0 passed, 1 failed (build)"; exit 1; }
echo "== build: $((SECONDS - build_start)) s"

suites_start=$SECONDS
start setup tests/setup/setup-tests.sh
# The fuzz target judges its corpus, then explores a fixed number of new stories.
start native bash -c 'build/native/tests/native/native_tests && FUZZ_RUNS=${FUZZ_RUNS:-8000} tools/fuzz.sh'
start wine tools/wine-tests.sh
start clang env HL_PREFIX=tests-clang tools/wine-e2e.sh build/win64-clang/Hedgeloom.exe
start wine32 tools/wine32-tests.sh
wait
for name in setup native wine clang wine32; do report "$name"; done
echo "== suites: $((SECONDS - suites_start)) s; all: $((SECONDS - began)) s"

if [ -n "$broken" ]; then
  echo "failing suites:$broken"
  [ "$failed" -gt 0 ] || failed=1
fi
echo "tests: $passed passed, $failed failed"
[ -z "$broken" ]
