#!/usr/bin/env bash
# Times Hedgeloom.exe under Wine against a windowless baseline and a bare dialog
# (N = 25, 1,000 and 10,000 addresses), then prints its footprint.
#   tools/bench.sh [repeats [sizes...]]
# BENCH_BUILD (default build/win64) names the build to measure; it is built first.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BENCH_BUILD:-build/win64}
if [ "$build" = build/win64 ]; then
  tools/setup.sh
  tools/build.sh win64
fi
exe="$build/Hedgeloom.exe"
bench="$build/tools/bench/hlbench.exe"
for f in "$exe" "$bench"; do
  [ -f "$f" ] || { echo "bench: $f is missing" >&2; exit 1; }
done

# shellcheck source=tools/wine-env.sh
. tools/wine-env.sh
wine_env_start bench
trap wine_env_stop EXIT

echo "Hedgeloom benchmark under $("$WINE" --version 2>/dev/null || echo Wine), $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)"
status=0
"$WINE" "$bench" "$(winepath -w "$exe" 2>/dev/null || echo "Z:$(realpath "$exe" | tr / '\\')")" "$@" || status=$?

objdump=$(command -v x86_64-w64-mingw32-objdump || echo objdump)
size=$(stat -c %s "$exe")
echo
echo "Footprint of $exe"
printf '  size             %d bytes (%d KB; goal at most 170 KB: %s)\n' "$size" $(((size + 1023) / 1024)) \
  "$([ "$size" -le $((170 * 1024)) ] && echo met || { status=3; echo MISSED; })"
echo "  format           $("$objdump" -f "$exe" | sed -n 's/.*file format //p')"
echo "  imported DLLs    $("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -f | tr '\n' ' ')"
exit "$status"
