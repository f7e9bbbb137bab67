#!/usr/bin/env bash
# Builds the JSON decode benchmark (Release) and runs it: MB/s of the job
# decode path and of RapidJSON on the same text, their ratio, and the time per
# byte from 10 KB to 1 MB. Extra arguments go to the benchmark program
# (e.g. --benchmark_filter=Logo).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench

cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPAVIX_BUILD_BENCH=ON -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/bench --target pavix_json_bench
build/bench/bench/pavix_json_bench --benchmark_min_time=0.5 "$@"
