#!/usr/bin/env bash
# Runs each libFuzzer target for SECONDS (default 60) on its corpus, then replays the saved
# crash inputs. Usage: fuzz/run.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_conversion fuzz_account_list fuzz_cdoxml fuzz_query_differential
        fuzz_statement_check)
fi
bin=build-fuzz/fuzz
work=build-fuzz/corpus
mkdir -p "$work" build-fuzz/artifacts
for target in "${targets[@]}"; do
    mkdir -p "$work/$target"
    seeds=("fuzz/corpus/$target")
    # Real QIF files written by other programs.
    if [ "$target" = fuzz_conversion ]; then
        seeds+=(tests/data/corpus)
    fi
    # The golden statements, copied into the working corpus: a file among the corpus
    # arguments would make libFuzzer only run the inputs given, not fuzz.
    if [ "$target" = fuzz_statement_check ]; then
        cp tests/data/bank.LDX tests/data/creditcard.LDX "$work/$target"/
    fi
    echo "== $target: ${seconds}s"
    "$bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -artifact_prefix=build-fuzz/artifacts/"$target"- -print_final_stats=1 \
        "$work/$target" "${seeds[@]}" 2>&1 | grep -E '^(#[0-9]+[[:space:]]+(DONE|INITED)|stat::number_of_executed_units|INFO: .*corpus|==[0-9]+==ERROR|SUMMARY)' || true
    if ls build-fuzz/artifacts/"$target"-* > /dev/null 2>&1; then
        echo "$target: found crashes in build-fuzz/artifacts" >&2
        exit 1
    fi
    if [ -d "fuzz/regressions/$target" ]; then
        "$bin/$target" fuzz/regressions/"$target"/* > /dev/null 2>&1
    fi
done
