#!/usr/bin/env bash
# Builds the QR benchmark (Release) and runs it: the pairing code from text to
# its 57 x 57 bitmap, ours against libqrencode in the same run, and a 2953-byte
# symbol at 40-L, with the time per symbol of both and their ratio. Extra
# arguments go to the benchmark program (e.g. --benchmark_filter=Pairing).
# libqrencode is installed for this benchmark only; the product never links it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh bench
if ! dpkg-query -W -f='${Status}' libqrencode-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq libqrencode-dev
fi

cmake -S . -B build/qr-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPAVIX_BUILD_BENCH=ON -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/qr-bench -j 2 --target pavix_qrcode_bench
build/qr-bench/bench/pavix_qrcode_bench --benchmark_min_time=0.5 "$@"
