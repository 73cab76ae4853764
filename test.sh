#!/usr/bin/env bash
# Builds and runs every test: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer with warnings as errors;
# builds the .deb and checks it (menu entry, AppStream metadata, lintian,
# hardening, reproducibility); fuzzes the readers of outside input. Exits
# non-zero on any failure, sanitizer report or fuzzer finding.
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libqt6svg6 \
    fonts-dejavu-core qt6-translations-l10n shared-mime-info appstream desktop-file-utils lintian dbus-daemon \
    libglib2.0-bin file dpkg-dev clang libclang-rt-14-dev

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DBUILD_TESTING=ON -DJOR_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs"
}

echo "== Tests =="
run_suite build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== Package checks =="
tools/check-package.sh build-package

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DJOR_SANITIZE=ON

# The fuzzers of the three readers of outside input, 30 seconds each. A
# fuzzer that cannot be built fails the run.
echo "== Fuzzing =="
command -v clang++ >/dev/null 2>&1 || { echo "clang++ is missing"; exit 1; }
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DJOR_FUZZ=ON -DJOR_SANITIZE=ON >/dev/null
cmake --build build-fuzz --parallel "$jobs" --target fuzz_catalog fuzz_villagefile fuzz_overview
for target in catalog villagefile overview; do
    [ -x "build-fuzz/fuzz/fuzz_$target" ] || { echo "fuzz_$target was not built"; exit 1; }
    work=$(mktemp -d)
    echo "-- fuzz_$target"
    log="$work.log"
    if ! build-fuzz/fuzz/fuzz_$target -max_total_time="${JOR_FUZZ_SECONDS:-30}" -timeout=2 \
        -rss_limit_mb=4096 -print_final_stats=1 "$work" "fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 80 "$log"
        echo "fuzz_$target found a failure"
        exit 1
    fi
    grep -E "stat::number_of_executed_units|Done" "$log" || true
    rm -rf "$work" "$log"
done
echo "== All checks passed =="
