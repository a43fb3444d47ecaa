#!/usr/bin/env bash
# Runs the fuzz programs of a fuzz build one after the other, each for the given number of
# seconds, on its committed corpus (fuzz/corpus/<harness>, only read) and a scratch corpus in the
# build directory (where new inputs go). An input that crashes, hangs or takes too much memory is
# kept in <build>/findings/<harness>/ and makes the script fail.
#
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS [HARNESS...]
#
# FUZZ_TIMEOUT (seconds per input, default 5), FUZZ_RSS_MB (default 2048) and FUZZ_MALLOC_MB
# (largest single allocation, default 1024) tune the limits; FUZZ_FLAGS adds libFuzzer options.
set -uo pipefail
cd "$(dirname "$0")/.."

build=${1:?build directory}
seconds=${2:?seconds per harness}
shift 2
harnesses=("$@")
[ "${#harnesses[@]}" -gt 0 ] ||
    harnesses=(plot roundtrip sheet settings rcpath penmap catalog font splitfont)

# Longest input and dictionary per harness.
declare -A max_len=([plot]=16384 [roundtrip]=8192 [sheet]=16384 [settings]=16384 [rcpath]=4096
                    [penmap]=4096 [catalog]=20000 [font]=8192 [splitfont]=24576)
declare -A dictionary=([plot]=hpgl [roundtrip]=hpgl [sheet]=sheet [settings]=settings
                       [rcpath]=settings [catalog]=catalog)

failed=()
for h in "${harnesses[@]}"; do
    program="$build/fuzz/fuzz_$h"
    if [ ! -x "$program" ]; then
        echo "fuzz: no program $program (build with make fuzz-build)" >&2
        exit 2
    fi
    scratch="$build/corpus/$h"
    findings="$build/findings/$h"
    log="$build/logs/$h.log"
    mkdir -p "$scratch" "$findings" "$(dirname "$log")"
    options=(-max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-5}"
             -rss_limit_mb="${FUZZ_RSS_MB:-2048}" -malloc_limit_mb="${FUZZ_MALLOC_MB:-1024}"
             -max_len="${max_len[$h]:-4096}" -artifact_prefix="$findings/" -print_final_stats=1)
    if [ -n "${dictionary[$h]:-}" ]; then
        options+=(-dict="fuzz/${dictionary[$h]}.dict")
    fi
    # shellcheck disable=SC2086 # FUZZ_FLAGS holds several options
    nice -n 10 "$program" "${options[@]}" ${FUZZ_FLAGS:-} "$scratch" "fuzz/corpus/$h" >"$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    printf 'fuzz %-10s %8s runs %6s/s  %-10s' "$h" "${runs:-?}" "${rate:-?}" "$coverage"
    if [ "$status" -eq 0 ]; then
        echo " ok"
    else
        echo " FAILED (exit $status, log $log)"
        grep -E '^(==[0-9]+==ERROR|SUMMARY|fuzz: |.*Test unit written to)' "$log" | head -5
        failed+=("$h")
    fi
done

if [ "${#failed[@]}" -gt 0 ]; then
    echo "fuzz: ${failed[*]} found a fault; the inputs are in $build/findings" >&2
    exit 1
fi
