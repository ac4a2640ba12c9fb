#!/usr/bin/env bash
# Builds the benchmarks in their own Release folder (build-bench) and runs
# them. Extra arguments go to both programs, for example
# --benchmark_filter=frame or --benchmark_min_time=1.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVEL_BUILD_TESTS=OFF \
    -DTARVEL_BUILD_BENCH=ON >/dev/null
cmake --build build-bench --target bench_tarvelparser bench_bytenotation bench_logview

echo
echo "=== Datagram splitter ==="
build-bench/bench/bench_tarvelparser "$@"
echo
echo "=== Brace notation ==="
build-bench/bench/bench_bytenotation "$@"
echo
echo "=== Log view (offscreen) ==="
QT_QPA_PLATFORM=offscreen build-bench/bench/ui/main/bench_logview
echo
echo "=== Capture files (offscreen) ==="
cmake --build build-bench --target bench_capturefile
QT_QPA_PLATFORM=offscreen build-bench/bench/bench_capturefile

# The main window draining a TCP peer (100 MB) and a pseudo-terminal pair
# (10 MB) beside plain readers of the same links. TARVEL_BENCH_MB=20 scales
# the TCP size down; the serial link always gets a tenth of it.
echo
echo "=== Link throughput of the main window (offscreen) ==="
cmake --build build-bench --target bench_linkthroughput
QT_QPA_PLATFORM=offscreen build-bench/bench/ui/main/bench_linkthroughput
