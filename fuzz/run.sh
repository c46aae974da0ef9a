#!/bin/sh
# Runs every fuzz target for DURATION seconds (default 60) and fails on any
# finding: a crash, a sanitizer report, a leak, a timeout, or one of the
# targets' own checks. Builds the clang folder first when needed.
#
#   fuzz/run.sh [DURATION]
#
# Environment: TARVEX_FUZZ_BUILD (build folder, default build-fuzz),
# JOBS (build jobs, default 2), FUZZ_TARGETS (default "parser quote_file"),
# FUZZ_ARGS (extra libFuzzer options, e.g. "-jobs=4 -workers=4").
# The committed seeds in fuzz/corpus/ are only read; what the run learns
# goes to a working corpus in the build folder, kept between runs.
# Findings are written to <build>/fuzz/findings/ (reproduce one with
# <build>/fuzz/fuzz_<target> <file>).
set -eu

duration=${1:-60}
case $duration in
    ''|*[!0-9]*) echo "usage: $0 [DURATION-SECONDS]" >&2; exit 2 ;;
esac

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARVEX_FUZZ_BUILD:-$root/build-fuzz}
jobs=${JOBS:-2}
targets=${FUZZ_TARGETS:-parser quote_file}

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTARVEX_BUILD_FUZZ=ON -DTARVEX_SANITIZE=ON -DTARVEX_BUILD_TESTS=OFF \
        -DTARVEX_COMPONENTS=app
fi
set --
for t in $targets; do
    set -- "$@" "fuzz_$t"
done
cmake --build "$build" -j "$jobs" --target "$@"

findings="$build/fuzz/findings"
mkdir -p "$findings"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"

failed=0
passed=0
for t in $targets; do
    case $t in
        # The literal reference scan is quadratic in the reply's length.
        parser) max_len=16384 ;;
        *) max_len=70000 ;;
    esac
    work="$build/fuzz/corpus-$t"
    mkdir -p "$work"
    echo "== fuzz_$t for ${duration}s"
    # shellcheck disable=SC2086 # FUZZ_ARGS is a list of options
    if "$build/fuzz/fuzz_$t" "$work" "$root/fuzz/corpus/$t" \
        -max_total_time="$duration" -timeout=20 -rss_limit_mb=2048 -max_len="$max_len" \
        -artifact_prefix="$findings/$t-" -print_final_stats=1 ${FUZZ_ARGS:-}; then
        passed=$((passed + 1))
    else
        echo "fuzz_$t: FINDING (see $findings/)" >&2
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
