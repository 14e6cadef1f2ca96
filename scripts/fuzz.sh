#!/usr/bin/env bash
# Builds the libFuzzer targets of the pure text code natively (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build/fuzz and runs each for FUZZ_SECONDS (default 30; 0 builds
# only), one after the other. Fails when a target does not build, crashes, hangs or breaks one of its
# properties; the input that did it is kept in build/fuzz/artifacts, and running the target with that
# file as its argument replays it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing_packages
FUZZ="$BUILD/fuzz"
FUZZ_SECONDS=${FUZZ_SECONDS:-30}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
TARGETS=(ParameterParser)

mkdir -p "$FUZZ/artifacts"
if ! { cmake -S "$REPO/tests/fuzz" -B "$FUZZ" -DCMAKE_CXX_COMPILER=clang++ &&
    cmake --build "$FUZZ" -j"${FUZZ_JOBS:-2}"; } >"$FUZZ/build.log" 2>&1; then
    cat "$FUZZ/build.log"
    echo "fuzz: the targets did not build"
    exit 1
fi
[ "$FUZZ_SECONDS" -gt 0 ] || exit 0

# A fuzzer runs in the background so that a TERM to this script ends it at once.
fuzzer=""
trap '[ -n "$fuzzer" ] && kill "$fuzzer" 2>/dev/null; exit 143' TERM INT
failed=0
for target in "${TARGETS[@]}"; do
    log="$FUZZ/$target.log"
    mkdir -p "$FUZZ/corpus/$target"
    # New inputs go to build/fuzz/corpus and carry over to the next run; the seeds stay as they are.
    "$FUZZ/${target}Fuzz" -max_total_time="$FUZZ_SECONDS" -timeout=10 -rss_limit_mb=1024 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$FUZZ/artifacts/$target-" \
        "$FUZZ/corpus/$target" "$REPO/tests/fuzz/corpus/$target" >"$log" 2>&1 &
    fuzzer=$!
    status=0
    wait "$fuzzer" || status=$?
    fuzzer=""
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 || true)
    if [ "$status" -eq 0 ]; then
        printf 'fuzz: %-16s held: %s runs, %s runs/s, %s\n' "$target" "${runs:-?}" "${speed:-?}" "$coverage"
    else
        failed=$((failed + 1))
        printf 'fuzz: %-16s FAILED (exit %s), log %s\n' "$target" "$status" "$log"
        grep -E 'property broken|ERROR|runtime error|SUMMARY|Test unit written' "$log" | head -n 20 || true
    fi
done
if [ "$failed" -gt 0 ]; then
    echo "fuzz: $failed of ${#TARGETS[@]} targets failed"
    exit 1
fi
echo "fuzz: all ${#TARGETS[@]} targets held for ${FUZZ_SECONDS} s each"
