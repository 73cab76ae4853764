#!/usr/bin/env bash
# Builds the benchmarks (Release) and prints every figure with its floor or
# budget. Usage: bench/run.sh [--quick]   (--quick: shorter idle measurement)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libbenchmark-dev python3

idle=60
[ "${1:-}" = "--quick" ] && idle=10

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DJOR_BENCH=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)" --target bench_core bench_startup bench_bare >/dev/null

export QT_QPA_PLATFORM=offscreen
build-bench/bench/bench_core --benchmark_format=json --benchmark_min_time=0.2 > build-bench/bench_core.json
exec python3 bench/report.py build-bench "$idle"
