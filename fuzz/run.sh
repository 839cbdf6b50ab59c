#!/usr/bin/env bash
# Runs each libFuzzer target for SECONDS (default 60) on its corpus, then replays the saved
# crash inputs. A crash, a sanitizer finding, running out of memory, or an input that runs
# longer than UNIT_TIMEOUT seconds fails the run. The default of 20 s is several times what a
# whole conversion of 1 MB takes under the sanitizers, and a small part of what a scan that goes
# back over its input takes on it; a hang that starts at the end of a 30 s run is still caught,
# as libFuzzer ends no run in the middle of an input. Usage: fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_conversion fuzz_account_list fuzz_cdoxml fuzz_query_differential
        fuzz_statement_check)
fi
unit_timeout=${UNIT_TIMEOUT:-20}
bin=build-fuzz/fuzz
work=build-fuzz/corpus
mkdir -p "$work" build-fuzz/artifacts build-fuzz/logs
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    seeds=("fuzz/corpus/$target")
    options=()
    # Real QIF files written by other programs.
    if [ "$target" = fuzz_conversion ]; then
        seeds+=(tests/data/corpus)
    fi
    # The golden statements, copied into the working corpus: a file among the corpus
    # arguments would make libFuzzer only run the inputs given, not fuzz.
    if [ "$target" = fuzz_statement_check ]; then
        cp tests/data/bank.LDX tests/data/creditcard.LDX "$work/$target"/
    fi
    # Whole files, up to the sizes at which scans that go back over their input hang, from the
    # first input on.
    if [ "$target" = fuzz_conversion ] || [ "$target" = fuzz_statement_check ]; then
        options+=(-max_len=1048576 -len_control=0)
    fi
    echo "== $target: ${seconds}s"
    log=build-fuzz/logs/$target.log
    status=0
    "$bin/$target" -max_total_time="$seconds" -timeout="$unit_timeout" -rss_limit_mb=4096 \
        ${options[@]+"${options[@]}"} -artifact_prefix=build-fuzz/artifacts/"$target"- \
        -print_final_stats=1 "$work/$target" "${seeds[@]}" > "$log" 2>&1 || status=$?
    grep -E '^(#[0-9]+[[:space:]]+(DONE|INITED)|stat::number_of_executed_units|INFO: .*corpus|==[0-9]+== ?ERROR|ALARM|SUMMARY)' "$log" || true
    if [ "$status" -ne 0 ] || ls build-fuzz/artifacts/"$target"-* > /dev/null 2>&1; then
        echo "$target: failed (exit status $status); see $log and build-fuzz/artifacts" >&2
        exit 1
    fi
    if [ -d "fuzz/regressions/$target" ]; then
        "$bin/$target" -timeout="$unit_timeout" fuzz/regressions/"$target"/* > /dev/null 2>&1
    fi
done
