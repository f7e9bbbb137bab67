#!/usr/bin/env bash
# Fuzzes one reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer.
#   scripts/fuzz.sh json|http|websocket [seconds]    default 600
#     json       the JSON reader, with the system code page GBK (lead bytes)
#     http       the HTTP request reader: any bytes as a connection's input
#     websocket  the WebSocket frame reader
# New inputs collect in build/fuzz/corpus-TARGET; copy the ones worth keeping
# to fuzz/corpus/TARGET, which every test run replays.
set -euo pipefail
cd "$(dirname "$0")/.."

target="${1:-}"
seconds="${2:-600}"
case "$target" in
  json)      options=(-dict=../../fuzz/json.dict -max_len=4096) ;;
  # -rss_limit_mb: a request may hold its body (64 KiB here) and its head, no more.
  http)      options=(-dict=../../fuzz/http.dict -max_len=70000 -rss_limit_mb=1024 -timeout=10) ;;
  websocket) options=(-max_len=8192) ;;
  *) echo "usage: scripts/fuzz.sh json|http|websocket [seconds]" >&2; exit 2 ;;
esac
scripts/install-deps.sh fuzz

CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAVIX_FUZZ=ON \
  -DPAVIX_SANITIZE=address,undefined -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/fuzz --target "pavix_${target}_fuzzer"
mkdir -p "build/fuzz/corpus-$target"
cd build/fuzz
PAVIX_CODEPAGE=GBK "./fuzz/pavix_${target}_fuzzer" "corpus-$target" "../../fuzz/corpus/$target" "${options[@]}" \
  -max_total_time="$seconds" -print_final_stats=1
