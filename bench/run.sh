#!/bin/sh
# Installs what is missing, builds the benchmarks in ./build-bench (Release)
# and runs them all. The table at the end sets each figure beside its
# reference and its target; the exit status is 1 when a target was missed.
# Arguments go to Google Benchmark, e.g. --benchmark_filter=roster_search.
set -e
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DKIBORU_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release
cmake --build build-bench -j2 --target kiboru_bench
exec build-bench/bench/kiboru_bench "$@"
