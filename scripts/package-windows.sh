#!/usr/bin/env bash
# Builds the Windows program for 32-bit Windows (the users' target) and for
# 64-bit Windows, statically linked, and packs what a shop installs:
#   dist/pavix-print-server-3.0-win32.zip        the .exe and README.txt
#   dist/pavix-print-server-3.0-win64.zip
#   dist/pavix-print-server-3.0-win32-setup.exe  NSIS installer (Program Files,
#   dist/pavix-print-server-3.0-win64-setup.exe  Start menu, uninstaller)
#   scripts/package-windows.sh [OUTPUT-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package

out=$(realpath -m "${1:-dist}")
version=3.0
jobs=$(nproc)
mkdir -p "$out"

package() {  # target triple, name suffix
  local triple=$1 suffix=$2 arch=${1%%-*}
  local dir="build/package-$arch" stage
  echo "=== $triple"
  cmake -S . -B "$dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPAVIX_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" >/dev/null  # as tested; GCC 12's -O3 raises a false -Wrestrict on i686
  cmake --build "$dir" -j "$jobs" --target pavix-print-server

  stage=$(mktemp -d)
  "$triple-strip" -o "$stage/pavix-print-server.exe" "$dir/pavix-print-server.exe"
  cp packaging/windows/README.txt "$stage/README.txt"
  rm -f "$out/pavix-print-server-$version-$suffix.zip"
  (cd "$stage" && cmake -E tar cf "$out/pavix-print-server-$version-$suffix.zip" --format=zip \
     pavix-print-server.exe README.txt)
  makensis -V2 -INPUTCHARSET UTF8 -DARCH="$arch" -DEXE="$stage/pavix-print-server.exe" \
    -DREADME="$stage/README.txt" -DOUTFILE="$out/pavix-print-server-$version-$suffix-setup.exe" \
    packaging/windows/installer.nsi
  rm -rf "$stage"
}

package i686-w64-mingw32 win32
package x86_64-w64-mingw32 win64
ls -l "$out"
