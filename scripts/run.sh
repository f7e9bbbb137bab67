#!/usr/bin/env bash
# Builds the program and runs the print server without a window on its
# embedded default: local printing on port 8212 to the virtual printer, with
# the settings, the autostart entry and the printed tickets in
# build/release/demo (each overridable through its environment variable).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPAVIX_BUILD_TESTS=OFF >/dev/null
cmake --build build/release

program="$PWD/build/release/pavix-print-server"
demo="$PWD/build/release/demo"
export PAVIX_SETTINGS_FILE="${PAVIX_SETTINGS_FILE:-$demo/settings.reg}"
export PAVIX_AUTOSTART_DIR="${PAVIX_AUTOSTART_DIR:-$demo/autostart}"
export PAVIX_VIRTUAL_PRINTER_DIR="${PAVIX_VIRTUAL_PRINTER_DIR:-$demo/virtual-printer}"
mkdir -p "$PAVIX_VIRTUAL_PRINTER_DIR"

# First run: the settings dialog's choices, made from the terminal. The
# address is the one the dialog proposes, else loopback.
if ! "$program" settings | grep -q '^PrinterType='; then
  "$program" settings PrinterType=2 LocalPort=8212 PrinterName="Pavix Virtual Printer" ||
    "$program" settings PrinterType=2 LocalAddr=127.0.0.1 LocalPort=8212 PrinterName="Pavix Virtual Printer"
fi
port=$("$program" settings | sed -n 's/^LocalPort=//p')

cat <<HINT
Settings: $PAVIX_SETTINGS_FILE
To print a sample receipt, run in another terminal:
  $program sample-receipt | curl -H 'Content-Type: application/json' --data-binary @- http://127.0.0.1:${port:-8212}/
Printed tickets appear in $PAVIX_VIRTUAL_PRINTER_DIR (look at one with xxd).
The pairing code for the app: PAVIX_SETTINGS_FILE=$PAVIX_SETTINGS_FILE $program pairing
Ctrl+C stops the server.

HINT
exec "$program" --headless
