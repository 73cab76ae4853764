#!/usr/bin/env bash
# Builds and runs every test: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer with warnings as errors;
# builds the .deb and checks it (menu entry, AppStream metadata, lintian,
# hardening, reproducibility), under the umask 0002 of a shared group; fuzzes
# the readers of outside input. Exits non-zero on any failure, sanitizer
# report or fuzzer finding. Each stage prints its time at its end.
#
# The compiler runs through Debian's ccache: the repository's root is its
# base folder and the working folder is left out of its hash, so that
# another clone of the repository, or a later run, finds the same objects.
# The package's reproducibility check still compares two packages byte for
# byte (tools/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")"
. tools/ensure-packages.sh
ensure_packages cmake g++ make qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev \
    fonts-dejavu-core qt6-translations-l10n shared-mime-info appstream desktop-file-utils lintian dbus-daemon \
    libglib2.0-bin file dpkg-dev clang libclang-rt-14-dev ccache

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

# CMake takes the launcher from these for every build folder it configures
# anew; a folder configured before keeps what it had.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

# Runs one stage and prints its time at its end.
stage_start=$SECONDS
start_stage() {
    echo "== $1 =="
    stage_name=$1
    stage_start=$SECONDS
}
end_stage() {
    echo "-- $stage_name: $((SECONDS - stage_start)) s"
}

run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -DBUILD_TESTING=ON -DJOR_WARNINGS_AS_ERRORS=ON "$@" >/dev/null
    cmake --build "$dir" --parallel "$jobs"
    ctest --test-dir "$dir" --output-on-failure --parallel "$jobs"
}

start_stage "Tests"
run_suite build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo
end_stage

# Under the umask of a shared group, which must not reach the package.
start_stage "Package checks (umask 0002)"
(umask 0002 && tools/check-package.sh build-package)
end_stage

start_stage "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DJOR_SANITIZE=ON
end_stage

# The fuzzers of the three readers of outside input, 30 seconds each. A
# fuzzer that cannot be built fails the run. Only the fuzzers and the core
# library they read through are built, with clang (libFuzzer is clang's).
start_stage "Fuzzing"
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
end_stage
echo "== All checks passed in $SECONDS s =="
