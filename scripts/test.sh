#!/usr/bin/env bash
# Builds and runs every test: natively, with AddressSanitizer and
# UndefinedBehaviorSanitizer, with ThreadSanitizer, and for Windows under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)
# The packages are there, so a test that needs the real WebSocket server
# fails rather than skips when it cannot have it.
export PAVIX_TEST_PYTHON_SERVER=required

run_suite() {  # name, extra cmake options...
  local dir="build/$1"
  shift
  echo "=== $dir"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

run_suite native
run_suite asan -DPAVIX_SANITIZE=address,undefined
run_suite tsan -DPAVIX_SANITIZE=thread
scripts/test-windows.sh
