#!/usr/bin/env bash
# Builds the benchmarks and the program (Release) and prints every figure
# with its floor or budget: the village logic (bench_core), then the start-up
# of the program a player runs (build-bench/src/JorLivaronMng) against a
# bare window with text, both ended at the same point by a preloaded probe
# (bench/StartupProbe.cpp), with instructions counted by callgrind.
# Usage: bench/run.sh [--quick] [--startup]
#   --quick    fewer repeats, a shorter idle measurement and no callgrind
#              run of the 500 village files
#   --startup  the start-up and idle rows only (no bench_core)
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libbenchmark-dev python3 \
    valgrind

idle=60
options=()
for option in "$@"; do
    case "$option" in
    --quick) idle=10; options+=(--quick) ;;
    --startup) options+=(--startup) ;;
    *) echo "usage: bench/run.sh [--quick] [--startup]" >&2; exit 2 ;;
    esac
done

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DJOR_BENCH=ON >/dev/null
cmake --build build-bench --parallel "$(nproc)" \
    --target JorLivaronMng bench_core bench_bare bench_villages startup_probe >/dev/null

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [[ " ${options[*]} " != *" --startup "* ]]; then
    build-bench/bench/bench_core --benchmark_format=json --benchmark_min_time=0.2 > build-bench/bench_core.json
fi
exec python3 bench/report.py build-bench "$idle" "${options[@]}"
