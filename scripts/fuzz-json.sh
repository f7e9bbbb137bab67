#!/usr/bin/env bash
# Fuzzes the JSON reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, with the system code page GBK (lead bytes).
#   scripts/fuzz-json.sh [seconds]    default 600
# New inputs collect in build/fuzz/corpus; copy the ones worth keeping to
# fuzz/corpus/json, which every test run replays.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
scripts/install-deps.sh fuzz

CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVIX_FUZZ=ON \
  -DPAVIX_SANITIZE=address,undefined -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz --target pavix_json_fuzzer
mkdir -p build/fuzz/corpus
cd build/fuzz
PAVIX_CODEPAGE=GBK ./fuzz/pavix_json_fuzzer corpus ../../fuzz/corpus/json -dict=../../fuzz/json.dict \
  -max_len=4096 -max_total_time="$seconds" -print_final_stats=1
