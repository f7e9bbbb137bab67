#!/usr/bin/env bash
# Cross-builds the tree for Windows with MinGW-w64 and runs its tests under
# Wine with the ANSI code page of the users' Chinese Windows (936, GBK). The
# 32-bit build, the users' target, is built but not run: Debian's Wine here is
# 64-bit only.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/wine-prefix.sh

jobs=$(nproc)
scratch=$(mktemp -d)
export WINEPREFIX="$scratch/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
  # Only our own throw-away prefix's server and processes.
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT

build() {  # build dir, target triple
  local dir=$1 triple=$2 arch=${2%%-*}
  echo "=== $dir"
  # GoogleTest's own project enables C, which the toolchain files leave unset.
  cmake -S . -B "$dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/mingw-w64-$arch.cmake" \
    -DCMAKE_C_COMPILER="$triple-gcc-posix" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPAVIX_BUILD_TESTS=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
  cmake --build "$dir" -j "$jobs"
}

use_chinese_locale "$scratch"

build build/mingw64 x86_64-w64-mingw32

echo "=== Wine prefix $WINEPREFIX"
# Without a display Wine cannot make windows, and the clipboard needs one:
# its "null" graphics driver gives windows that are never shown.
boot_wine_prefix 'HKCU\Software\Wine\Drivers' /v Graphics /d null || exit 1

# Wine's spooler hands raw documents to CUPS: the tests run beside a private
# scheduler whose queue ends at a socket printer, built natively.
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs" --target pavix_cups_relay
relay="$PWD/build/native/tests/support/pavix_cups_relay"

# The WebSocket tests start Debian's python3-websockets server: Wine runs a
# Unix program named by its Unix path as a Unix process, on the Linux side
# of the loopback. Under Wine it must be there, not skipped.
export PAVIX_TEST_PYTHON_SERVER=required

# One test program at a time: the tests share one registry and one spooler.
(cd build/mingw64 && "$relay" PavixWineReceipt "$scratch/cups-jobs" ctest --output-on-failure)

build build/mingw32 i686-w64-mingw32
scripts/test-windows-desktop.sh
# What a shop installs: both programs, the zips and the installers.
scripts/package-windows.sh build/dist
