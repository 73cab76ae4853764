#!/usr/bin/env bash
# Builds and runs every test: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer with warnings as errors.
# Exits non-zero on any failure or sanitizer report.
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev libgl-dev

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

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DJOR_SANITIZE=ON
