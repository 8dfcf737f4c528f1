#!/usr/bin/env bash
# Builds the fuzz targets in a build folder of their own (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs them:
#   tests/fuzz/run.sh [seconds]        seconds of fuzzing per target, all targets at once (60)
# First every input kept in tests/fuzz/<target>/corpus runs once: the seeds, and every input that
# ever found a fault, kept there once the fault is mended so that it never comes back. Then each
# target fuzzes from those inputs; what it finds new goes to a scratch folder, not to the checkout.
# A crash, a sanitizer's report, an input slower than the time-out or one that takes too much
# memory fails the run; the input is kept in $RP_FUZZ_BUILD_DIR/fuzz-artifacts/<target>/ and
# named in the output. A log may hold bytes of the inputs (a target whose program tells what it
# read), so it is searched as text whatever it holds.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${RP_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-60}
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
targets=(fuzz_formula_parser fuzz_formula_report fuzz_definition_loader fuzz_selection_planner
    fuzz_tsql_translator fuzz_saved_report fuzz_voucher_rows)
# Longest input per target while fuzzing. Formulas nested thousands deep exhaust the stack of
# the walks that still recurse; 4 KB is deep enough to pass every depth limit many times over.
# A voucher's rows given from the input (its most item rows, a value of their own in many
# columns) take a few KB; longer inputs make only longer texts.
declare -A max_len=([fuzz_formula_parser]=4096 [fuzz_formula_report]=4096
    [fuzz_definition_loader]=32768 [fuzz_selection_planner]=4096 [fuzz_tsql_translator]=4096
    [fuzz_saved_report]=32768 [fuzz_voucher_rows]=8192)

declare -A dict=([fuzz_formula_parser]=formula.dict [fuzz_formula_report]=formula.dict
    [fuzz_selection_planner]=formula.dict [fuzz_tsql_translator]=tsql.dict)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRP_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build "$build" --parallel "$jobs" --target rp_fuzz_targets

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
logs=$build/fuzz-logs
rm -rf "$logs"
mkdir -p "$logs"

failed=()
for t in "${targets[@]}"; do
    inputs=()
    if [ -d "$root/tests/fuzz/$t/corpus" ]; then
        mapfile -t inputs < <(find "$root/tests/fuzz/$t/corpus" -type f | sort)
    fi
    # Given no input, the fuzzer would fuzz instead of replaying; that is the next step's work.
    if [ ${#inputs[@]} -eq 0 ]; then
        echo "$t: no corpus to replay"
        continue
    fi
    # Replaying files runs each of them whatever the total time; the bound is there all the same.
    if ! "$build/bin/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 "${inputs[@]}" \
        >"$logs/$t.corpus.log" 2>&1; then
        echo "$t: an input of its corpus fails again:" >&2
        grep -a -E 'Running:|ERROR|SUMMARY|runtime error' "$logs/$t.corpus.log" | tail -20 >&2
        failed+=("$t")
    fi
done

pids=()
for t in "${targets[@]}"; do
    mkdir -p "$scratch/$t" "$build/fuzz-artifacts/$t"
    words=()
    [ -n "${dict[$t]:-}" ] && words=(-dict="$root/tests/fuzz/${dict[$t]}")
    # The fuzzer stops at a corpus folder that is not there, so a missing one is left out.
    seeds=()
    [ -d "$root/tests/fuzz/$t/corpus" ] && seeds=("$root/tests/fuzz/$t/corpus")
    "$build/bin/$t" -max_total_time="$seconds" -max_len="${max_len[$t]}" -timeout=10 "${words[@]}" \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$t/" \
        "$scratch/$t" "${seeds[@]}" >"$logs/$t.log" 2>&1 &
    pids+=($!)
done
for i in "${!targets[@]}"; do
    t=${targets[$i]}
    if wait "${pids[$i]}"; then
        echo "$t: $(grep -a -o 'stat::number_of_executed_units: *[0-9]*' "$logs/$t.log" \
            | grep -o '[0-9]*$') inputs, no fault"
    else
        echo "$t: FAULT (log $logs/$t.log)" >&2
        grep -a -E 'ERROR|SUMMARY|runtime error|#[0-9] 0x|Test unit written' "$logs/$t.log" \
            | head -30 >&2
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
