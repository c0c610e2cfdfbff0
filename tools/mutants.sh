#!/usr/bin/env bash
# Measures what the tests catch: makes one small, plausible fault at a time (a
# flipped comparison, a dropped flag, an ignored result, a bound off by one),
# rebuilds, and says which judge caught it: the native tier, then the fuzz
# target from its corpus, and for a fault in app/ the end-to-end tests of the
# command line under Wine. The sources are put back after every fault, also when
# the script is stopped; a judge that runs past its time limit counts as caught
# (a hang is a failure too).
#   tools/mutants.sh [FAULTS [NAME...]]   FAULTS (default tools/mutants.txt): one
#       fault a line, name | file | Perl substitution, applied once (s/.../.../)
#   Lines starting with # are skipped. With NAMEs, only those faults.
#   FUZZ_SECONDS (default 30) is how long the fuzz target runs for each fault.
# Prints a table: name, the judge that caught it or MISSED; every failing test of
# each fault goes to build/mutants/caught-by.txt.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
faults=${1:-tools/mutants.txt}
shift || true
only=" $* "
build=build/mutants
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target native_tests >/dev/null || { echo "mutants: the build fails before any fault"; exit 1; }

saved=""
restore() { [ -n "$saved" ] && cp "$saved.orig" "$saved" && rm -f "$saved.orig"; saved=""; }
trap restore EXIT INT TERM

native() {  # the native tier; prints the failing tests
  timeout 300 "$build/tests/native/native_tests" --gtest_brief=1 >"$build/last-run.log" 2>&1
  local status=$?
  grep -Eo '^\[  FAILED  \] [^ ,]+' "$build/last-run.log" | sed 's/^\[  FAILED  \] //' | sort -u | tr '\n' ' '
  [ $status -eq 124 ] && echo "native-timeout"
  grep -q 'ERROR: AddressSanitizer\|runtime error' "$build/last-run.log" && echo "native-sanitizer"
}
fuzz() {  # the fuzz target from its committed corpus, with a fresh corpus of its own
  rm -rf build/fuzz/corpus
  FUZZ_SECONDS=${FUZZ_SECONDS:-30} timeout 600 tools/fuzz.sh >"$build/last-fuzz.log" 2>&1
  case $? in 0) ;; 124) echo "fuzz-timeout" ;; *) echo "fuzz" ;; esac
}
e2e() {  # the command line's runs, end to end, under Wine
  tools/build.sh win64 >"$build/last-e2e-build.log" 2>&1 || { echo "e2e-no-build"; return; }
  HL_PREFIX=mutants timeout 900 tools/wine-e2e.sh build/win64/Hedgeloom.exe --gtest_brief=1 \
    --gtest_filter='CommandLineTest.*:ContentsTest.*' >"$build/last-e2e.log" 2>&1
  [ $? -eq 0 ] || echo "e2e"
}

caught=0 total=0
: >"$build/caught-by.txt"
printf '%-28s %-10s %s\n' fault result "first judge that failed"
while IFS='|' read -r name file substitution; do
  name=$(echo "$name" | xargs); file=$(echo "$file" | xargs)
  substitution=$(echo "$substitution" | sed 's/^ *//; s/ *$//')
  [ -z "$name" ] || [ "${name#\#}" != "$name" ] && continue
  [ "$only" != "  " ] && [ "${only/ $name /}" = "$only" ] && continue
  cp "$file" "$file.orig"; saved=$file
  perl -0pi -e "$substitution" "$file"
  if cmp -s "$file" "$file.orig"; then
    printf '%-28s %-10s %s\n' "$name" "no-match" "the substitution did not apply"
    restore; continue
  fi
  total=$((total + 1))
  verdict=""
  case $file in
    app/*) verdict=$(e2e) ;;
    *)
      if ! cmake --build "$build" -j "$(nproc)" --target native_tests >"$build/last-build.log" 2>&1; then
        printf '%-28s %-10s %s\n' "$name" "no-build" "the fault does not compile"
        restore; total=$((total - 1)); continue
      fi
      verdict=$(native)
      [ -n "$verdict" ] || verdict=$(fuzz)
      ;;
  esac
  echo "$name: $verdict" >>"$build/caught-by.txt"
  if [ -n "$verdict" ]; then
    caught=$((caught + 1))
    printf '%-28s %-10s %s\n' "$name" caught "${verdict%% *}"
  else
    printf '%-28s %-10s %s\n' "$name" MISSED "-"
  fi
  restore
done <"$faults"
restore
cmake --build "$build" -j "$(nproc)" --target native_tests >/dev/null 2>&1
tools/build.sh win64 >/dev/null 2>&1
echo "mutants: $caught of $total faults caught"
