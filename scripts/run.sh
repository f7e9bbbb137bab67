#!/usr/bin/env bash
# Builds the program and runs it on the embedded default: settings in
# out/settings.reg and the virtual receipt printer filing tickets in
# out/virtual-printer (each overridable through its environment variable).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

export PAVIX_SETTINGS_FILE="${PAVIX_SETTINGS_FILE:-$PWD/out/settings.reg}"
export PAVIX_VIRTUAL_PRINTER_DIR="${PAVIX_VIRTUAL_PRINTER_DIR:-$PWD/out/virtual-printer}"
exec build/release/shell/pavix-print-server
