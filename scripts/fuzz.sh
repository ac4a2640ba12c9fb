#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz and runs each for a bounded time.
#
#   scripts/fuzz.sh [--merge] [seconds-per-target]    (default 60 seconds)
#
# New inputs go to a work corpus under build-fuzz/fuzz-work/<target>; the
# committed corpus in tests/fuzz/corpus/<target> is only read. With --merge,
# the work inputs that reach code the committed corpus does not are then
# merged into it (review and commit them; the replay tests run them from then
# on).
# Crash inputs are kept in build-fuzz/fuzz-artifacts/<target>/. Exits non-zero
# when a target finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."

merge=0
seconds=60
for argument in "$@"; do
    case "$argument" in
    --merge) merge=1 ;;
    '' | *[!0-9]*)
        echo "usage: $0 [--merge] [seconds-per-target]" >&2
        exit 2
        ;;
    *) seconds="$argument" ;;
    esac
done

targets=(bytenotation frame97 splitter)
declare -A maxLength=([bytenotation]=4096 [frame97]=65535 [splitter]=16384)

packages=(clang libclang-rt-14-dev cmake ninja-build qt6-base-dev libpugixml-dev)
scripts/install-packages.sh "${packages[@]}"

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVEL_FUZZ=ON -DTARVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/#/fuzz_}"

failed=()
for target in "${targets[@]}"; do
    program="$build/tests/fuzz/fuzz_$target"
    work="$build/fuzz-work/$target"
    artifacts="$build/fuzz-artifacts/$target/"
    corpus="tests/fuzz/corpus/$target"
    mkdir -p "$work" "$artifacts"
    dictionary=()
    [ -f "tests/fuzz/$target.dict" ] && dictionary=(-dict="tests/fuzz/$target.dict")
    echo "== $target: $seconds s"
    # The work corpus comes first: libFuzzer writes new inputs to the first
    # directory only.
    if ! "$program" "$work" "$corpus" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -max_len="${maxLength[$target]}" -artifact_prefix="$artifacts" \
        -print_final_stats=1 "${dictionary[@]}"; then
        echo "== $target: FAULT, see $artifacts" >&2
        failed+=("$target")
        continue
    fi
    if ((merge)); then
        echo "== $target: merging new inputs into $corpus"
        # Counting edges only, not how often each runs, adds just the inputs
        # that reach new code, which keeps the committed corpus small.
        "$program" -merge=1 -use_counters=0 -max_len="${maxLength[$target]}" "$corpus" "$work"
    fi
done

if ((${#failed[@]})); then
    echo "Faults found by: ${failed[*]}" >&2
    exit 1
fi
echo "No faults found."
