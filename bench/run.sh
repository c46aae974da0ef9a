#!/bin/sh
# `make bench`: builds the benchmarks in Release, runs each with repeated,
# interleaved repetitions, measures the program from outside, and prints
# the medians with their ratios and goals. Results stay in
# BUILD_DIR/bench-results (JSON from Google Benchmark, program.txt).
#
#   bench/run.sh [BUILD_DIR]        (default build-bench)
#   TARVEX_BENCH_REPETITIONS=N      repetitions per benchmark (default 10)
set -eu

cd "$(dirname "$0")/.."
BUILD=${1:-build-bench}
REPS=${TARVEX_BENCH_REPETITIONS:-10}
JOBS=${JOBS:-2}
OUT=$BUILD/bench-results

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVEX_BUILD_BENCH=ON -DTARVEX_BUILD_TESTS=OFF
cmake --build "$BUILD" -j "$JOBS" --target bench-all
mkdir -p "$OUT"

for name in parse view refresh; do
    echo "== tarvex-bench-$name"
    "$BUILD/bench/tarvex-bench-$name" \
        --benchmark_repetitions="$REPS" \
        --benchmark_report_aggregates_only=true \
        --benchmark_enable_random_interleaving=true \
        --benchmark_out="$OUT/$name.json" --benchmark_out_format=json \
        | tee "$OUT/$name.txt"
done

echo "== program"
bench/program.sh "$BUILD" | tee "$OUT/program.txt"

echo
python3 bench/report.py "$OUT"
