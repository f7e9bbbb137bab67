#!/usr/bin/env bash
# Installs the Debian packages a task needs, only those that are missing.
#   install-deps.sh run    build and run the program
#   install-deps.sh test   also the tests: GoogleTest, CUPS, MinGW-w64, Wine
#   install-deps.sh fuzz   the build with libFuzzer (clang)
#   install-deps.sh bench  the benchmarks and their reference libraries
#   install-deps.sh package  the Windows builds, the zip and the installer (NSIS)
set -euo pipefail

packages=(g++ cmake ninja-build libcups2-dev curl)
if [[ "${1:-run}" == test ]]; then
  packages+=(googletest libgtest-dev libgmock-dev cups cups-daemon cups-client
             g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
             zbar-tools openssl locales curl python3-websockets
             nsis python3 xvfb imagemagick xxd fonts-wqy-microhei)
elif [[ "${1:-run}" == package ]]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis python3)
elif [[ "${1:-run}" == fuzz ]]; then
  packages+=(clang libclang-rt-14-dev)
elif [[ "${1:-run}" == bench ]]; then
  packages+=(wrk nginx-light bc
             libbenchmark-dev rapidjson-dev)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
