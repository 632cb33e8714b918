#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/ and runs
# each for a number of seconds, one after the other.
#
#   scripts/fuzz.sh                 # 10 s each, as the test command runs them
#   scripts/fuzz.sh 600             # ten minutes each, by hand
#   scripts/fuzz.sh 120 gbk_text    # some targets only
#
# The corpus of each target grows in build-fuzz/corpus/<target>, started from
# fuzz/corpus/<target>. An input that breaks a property or trips a sanitizer
# is kept as build-fuzz/findings/<target>-crash-*; run the target with that
# file as its argument to see it again. Ends non-zero after any finding.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
shift || true
targets=("$@")
if [ "${#targets[@]}" -eq 0 ]; then
    targets=(text_to_number text_to_integer value_to_text split_list private_profile gbk_text)
    targets+=(sheet_cells xml_scanner)
fi

if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTALLOVAR_FUZZ=ON >/dev/null
fi
cmake --build build-fuzz --target fuzzers --parallel 2

mkdir -p build-fuzz/findings
findings=0
total=0
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    mkdir -p "$corpus"
    cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
    log=build-fuzz/findings/$target.log
    status=0
    timeout $((seconds + 120)) build-fuzz/fuzz/fuzz_"$target" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/findings/"$target"- "$corpus" >"$log" 2>&1 || status=$?
    runs=$(grep -a 'stat::number_of_executed_units' "$log" | awk '{print $2}' | tail -n 1)
    runs=${runs:-0}
    total=$((total + runs))
    if [ "$status" -eq 0 ]; then
        echo "fuzz_$target: $runs executions in ${seconds} s, no finding"
    else
        findings=$((findings + 1))
        echo "fuzz_$target: FINDING after $runs executions (exit $status):"
        grep -a -E 'does not hold|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 20
    fi
done
echo "fuzzing: $total executions over ${#targets[@]} targets, $findings with a finding"
[ "$findings" -eq 0 ]
