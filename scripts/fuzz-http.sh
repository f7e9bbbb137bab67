#!/usr/bin/env bash
# Fuzzes the HTTP request reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer: any bytes as a connection's input.
#   scripts/fuzz-http.sh [seconds]    default 600
# New inputs collect in build/net-fuzz/corpus; copy the ones worth keeping to
# fuzz/corpus/http, which every test run replays.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
scripts/install-deps.sh fuzz

CXX=clang++ cmake -S . -B build/net-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVIX_FUZZ=ON \
  -DPAVIX_SANITIZE=address,undefined -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/net-fuzz --target pavix_http_fuzzer
mkdir -p build/net-fuzz/corpus
cd build/net-fuzz
# -rss_limit_mb: a request may hold its body (64 KiB here) and its head, no more.
./fuzz/pavix_http_fuzzer corpus ../../fuzz/corpus/http -dict=../../fuzz/http.dict \
  -max_len=70000 -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=10 -print_final_stats=1
