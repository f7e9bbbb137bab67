#!/usr/bin/env bash
# Fuzzes the WebSocket frame reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#   scripts/fuzz-websocket.sh [seconds]    default 600
# New inputs collect in build/fuzz-websocket/corpus; copy the ones worth
# keeping to fuzz/corpus/websocket, which every test run replays.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
scripts/install-deps.sh fuzz

CXX=clang++ cmake -S . -B build/fuzz-websocket -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVIX_FUZZ=ON \
  -DPAVIX_SANITIZE=address,undefined -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz-websocket --target pavix_websocket_fuzzer
mkdir -p build/fuzz-websocket/corpus
cd build/fuzz-websocket
./fuzz/pavix_websocket_fuzzer corpus ../../fuzz/corpus/websocket -max_len=8192 -max_total_time="$seconds" \
  -print_final_stats=1
