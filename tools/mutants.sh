#!/usr/bin/env bash
# Measures what the tests catch: makes one small, plausible fault at a time in
# the typed-address logic (a flipped comparison, a dropped flag, an ignored
# result, a bound off by one), rebuilds the native tier and runs it, and says
# which test failed, if any. The sources are put back after every fault, also
# when the script is stopped.
#   tools/mutants.sh FAULTS [NAME...]   FAULTS: one fault a line,
#       name | file | Perl substitution, applied once (s/.../.../)
#   Lines starting with # are skipped. With NAMEs, only those faults.
# Prints a table: name, caught or not, the first failing test; every failing
# test of each fault goes to build/mutants/caught-by.txt, to tell which tests
# catch a fault no other test does.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
faults=${1:?usage: tools/mutants.sh FAULTS [NAME...]}
shift
only=" $* "
build=build/mutants
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target native_tests >/dev/null || { echo "mutants: the build fails before any fault"; exit 1; }

saved=""
restore() { [ -n "$saved" ] && cp "$saved.orig" "$saved" && rm -f "$saved.orig"; saved=""; }
trap restore EXIT INT TERM

caught=0 total=0
: >"$build/caught-by.txt"
printf '%-28s %-10s %s\n' fault result "first failing test"
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
  if ! cmake --build "$build" -j "$(nproc)" --target native_tests >"$build/last-build.log" 2>&1; then
    printf '%-28s %-10s %s\n' "$name" "no-build" "the fault does not compile"
    restore; continue
  fi
  "$build/tests/native/native_tests" --gtest_brief=1 >"$build/last-run.log" 2>&1
  first=$(grep -m1 -Eo '^\[  FAILED  \] [^ ,]+' "$build/last-run.log" | sed 's/^\[  FAILED  \] //')
  echo "$name: $(grep -Eo '^\[  FAILED  \] [^ ,]+' "$build/last-run.log" | sed 's/^\[  FAILED  \] //' | sort -u | tr '\n' ' ')" \
    >>"$build/caught-by.txt"
  if [ -n "$first" ] || grep -q 'ERROR: AddressSanitizer\|runtime error' "$build/last-run.log"; then
    caught=$((caught + 1))
    printf '%-28s %-10s %s\n' "$name" caught "${first:-a sanitizer}"
  else
    printf '%-28s %-10s %s\n' "$name" MISSED "-"
  fi
  restore
done <"$faults"
restore
cmake --build "$build" -j "$(nproc)" --target native_tests >/dev/null 2>&1
echo "mutants: $caught of $total faults caught by the native tier"
