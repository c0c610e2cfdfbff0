#!/usr/bin/env bash
# Builds the fuzz target of the typed-address logic (clang, libFuzzer, ASan,
# UBSan) into build/fuzz and runs it from the seeds in tests/fuzz/corpus:
#   FUZZ_RUNS=N      judges every seed, then explores until N inputs have run,
#                    from a fixed seed (FUZZ_SEED, default 1): the same inputs on
#                    every run of the same sources, so a failure repeats.
#   FUZZ_SECONDS=N   explores for N seconds (default 30), from a random seed;
#                    FUZZ_SECONDS=0 only judges every seed once.
# Exits non-zero when it finds a crash or a broken invariant; the input that did
# it is left in build/fuzz/ as crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out/corpus"
cxx=${FUZZ_CXX:-clang++}

# The whole core, so that a new file of it needs no word here.
sources=(history/*.cpp tests/support/FaultyRegistry.cpp
         tests/support/MemoryRegistry.cpp tests/support/Values.cpp tests/driver/RegValue.cpp
         tests/fuzz/TypedUrlFuzzer.cpp)
newest=$(ls -t "${sources[@]}" history/*.h res/*.h tests/support/*.h tests/driver/RegValue.h tools/fuzz.sh | head -1)
if [ ! -x "$out/typed_url_fuzzer" ] || [ "$newest" -nt "$out/typed_url_fuzzer" ]; then
  echo "fuzz: building $out/typed_url_fuzzer"
  "$cxx" -std=c++17 -g -O1 -Wall -Wextra -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Ihistory -Ires -Itests "${sources[@]}" -o "$out/typed_url_fuzzer"
fi

# New inputs go to build/fuzz/corpus; the committed seeds are only read. With
# FUZZ_SECONDS=0 every committed input is judged once and nothing new is tried.
status=0
if [ -n "${FUZZ_RUNS:-}" ]; then
  echo "fuzz: $FUZZ_RUNS inputs from seed ${FUZZ_SEED:-1}"
  rm -rf "$out/corpus" && mkdir -p "$out/corpus"
  "$out/typed_url_fuzzer" -runs="$FUZZ_RUNS" -seed="${FUZZ_SEED:-1}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" tests/fuzz/corpus >"$out/last-run.log" 2>&1 ||
    status=$?
elif [ "${FUZZ_SECONDS:-30}" = 0 ]; then
  echo "fuzz: judging the committed corpus"
  "$out/typed_url_fuzzer" -runs=0 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$out/" -print_final_stats=1 \
    tests/fuzz/corpus >"$out/last-run.log" 2>&1 || status=$?
else
  echo "fuzz: running for ${FUZZ_SECONDS:-30} s"
  "$out/typed_url_fuzzer" -max_total_time="${FUZZ_SECONDS:-30}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$out/" -print_final_stats=1 "$out/corpus" tests/fuzz/corpus >"$out/last-run.log" 2>&1 ||
    status=$?
fi
grep -E '^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::number_of_executed_units|invariant broken|ERROR: |^SUMMARY|Test unit written' \
  "$out/last-run.log" || true
if [ "$status" -eq 0 ]; then
  echo "fuzz: no crash and no broken invariant"
else
  echo "fuzz: FAILED with status $status (see $out/last-run.log)"
fi
exit "$status"
