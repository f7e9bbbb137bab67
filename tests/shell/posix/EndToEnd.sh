#!/usr/bin/env bash
# The program as a shop would run it, on loopback: the settings command, the
# headless server printing what curl posts, the pairing code read back by
# zbarimg and deciphered by openssl, cloud mode against a real WebSocket
# server, signals, a second copy, and a machine where nothing can be written.
#   EndToEnd.sh PROGRAM WEBSOCKET_SERVER_SCRIPT
set -uo pipefail

program=$1
cloud_script=$2
source "$(dirname "$0")/../../support/Checks.sh"
scratch=$(mktemp -d)
server_pid="" cloud_pid=""

cleanup() {
  [[ -n "$server_pid" ]] && kill -KILL "$server_pid" 2>/dev/null
  [[ -n "$cloud_pid" ]] && kill -KILL "$cloud_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

wait_for() {  # file, pattern, seconds
  local deadline=$((SECONDS + $3))
  while ((SECONDS < deadline)); do
    grep -q -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "  (no '$2' in $1 after $3 s:)" >&2
  sed 's/^/  | /' "$1" >&2
  return 1
}

# Stops the server with `signal` and checks that it ends cleanly within 2 s.
stop_server() {
  local signal=$1 started=$SECONDS
  kill "-$signal" "$server_pid"
  server_ended_cleanly 2 "SIG$signal" || return 1
  ((SECONDS - started <= 2))
}

export PAVIX_SETTINGS_FILE="$scratch/settings.reg"
export PAVIX_AUTOSTART_DIR="$scratch/autostart"
export PAVIX_VIRTUAL_PRINTER_DIR="$scratch/printer"
export XDG_RUNTIME_DIR="$scratch"
export PAVIX_CODEPAGE=UTF-8 LC_ALL=C.UTF-8
export PATH="/usr/bin:/bin"  # no browser: the help page opens nowhere
mkdir -p "$PAVIX_VIRTUAL_PRINTER_DIR"
printer="Pavix Virtual Printer"
port=$(free_port)

# --- Settings from the terminal -------------------------------------------
"$program" settings PrinterType=2 LocalAddr=127.0.0.1 LocalPort="$port" PrinterName="$printer" >"$scratch/set.out" 2>&1
check "settings saves and says the app must scan again" \
  grep -qx '本次配置保存成功！请各终端【手机/iPad】等重新扫描二维码' "$scratch/set.out"
"$program" settings >"$scratch/stored.out"
check "settings shows what was stored" \
  grep -qx "LocalPort=$port" "$scratch/stored.out"
"$program" settings LocalPort=70000 >"$scratch/bad.out" 2>&1
check "a port that cannot be listened on is refused with status 1" test $? -eq 1
check "  ... and the message" test "$(cat "$scratch/bad.out")" = "请填写正确的端口"
check "  ... and the stored port is kept" grep -qx "LocalPort=$port" <("$program" settings)

# --- The headless server ----------------------------------------------------
"$program" --headless >"$scratch/log.out" 2>"$scratch/messages.out" &
server_pid=$!
check "the server logs its start with a time stamp" \
  wait_for "$scratch/log.out" "  服务成功启动" 10
check "  ... in the short date / long time format" \
  grep -Eq '^[0-9]{2}/[0-9]{2}/[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?  服务成功启动$' "$scratch/log.out"
reply=$(curl -sS -H 'Content-Type: application/json' --data-binary '[[27,64],[72,105,10]]' "http://127.0.0.1:$port/")
check "curl gets the success reply" test "$reply" = '{"RetCode":0,"RetMessage":"打印成功"}'
check "  ... and the bytes are in the printer folder" \
  test "$(xxd -p "$PAVIX_VIRTUAL_PRINTER_DIR/000001-pavix.prn" 2>/dev/null)" = "1b4048690a"
curl -sS -o /dev/null -H 'Content-Type: application/json' --data-binary '[[10]]' "http://127.0.0.1:$port/?mn=2"
check "mn=2 prints two copies" test -f "$PAVIX_VIRTUAL_PRINTER_DIR/000003-pavix.prn"
check "the job lines are logged" wait_for "$scratch/log.out" "本地打印：已发送打印数据到打印机" 5
check "the autostart entry is written" \
  grep -q "^Exec=.*pavix-print-server$" "$PAVIX_AUTOSTART_DIR/pavix-print-server.desktop"

"$program" --headless >"$scratch/second.out" 2>&1
check "a second copy is refused with status 1" test $? -eq 1
check "  ... saying so" grep -qx "打印服务器已经运行" "$scratch/second.out"
check "SIGTERM ends the server cleanly within 2 s" stop_server TERM

# --- The pairing code ---------------------------------------------------------
"$program" pairing --png "$scratch/pairing.png"
check "pairing --png writes the picture" test -s "$scratch/pairing.png"
zbarimg --raw -q "$scratch/pairing.png" 2>/dev/null | head -c -1 >"$scratch/pairing.txt"
esn=$(sed -n 's/^ESN=//p' <("$program" settings))
expected='{"QRType":"PCPrinter","Type":2,"Model":1,"Addr":"127.0.0.1","Port":'"$port"',"PESN":"'"$esn"'"}'
deciphered=$(tr -d '\r\n' <"$scratch/pairing.txt" | openssl base64 -d -A |
  openssl enc -d -des-cbc -provider legacy -provider default -K 6b777a7166687462 -iv 5A3C9107E428B67D 2>&1)
check "zbarimg reads it and openssl deciphers the exact payload" test "$deciphered" = "$expected"
check "  ... with a 36-character identity" test ${#esn} -eq 36
"$program" pairing >"$scratch/pairing-terminal.out"
check "pairing on the terminal draws 29 rows of 57 cells" \
  test "$(wc -l <"$scratch/pairing-terminal.out")" -eq 29
"$program" pairing --pbm >"$scratch/pairing.pbm"
check "pairing --pbm lists a 57 x 57 PBM" test "$(sed -n 3p "$scratch/pairing.pbm")" = "57 57"

# --- Cloud mode against a real WebSocket server ---------------------------------
# The server reports and takes its commands over a connection it makes back
# to its starter; this bridge turns that connection into a fifo and a file.
cat >"$scratch/bridge.py" <<'PY'
import socket, subprocess, sys, threading
listener = socket.create_server(("127.0.0.1", 0))
server = subprocess.Popen([sys.executable, sys.argv[1], "0", str(listener.getsockname()[1])])
control, _ = listener.accept()
def commands():
    for line in sys.stdin:
        control.sendall(line.encode())
    control.close()
threading.Thread(target=commands, daemon=True).start()
for report in control.makefile():
    print(report, end="", flush=True)
server.wait()
PY
mkfifo "$scratch/cloud.in"
/usr/bin/python3 "$scratch/bridge.py" "$cloud_script" <"$scratch/cloud.in" >"$scratch/cloud.out" 2>&1 &
cloud_pid=$!
exec 3>"$scratch/cloud.in"
if wait_for "$scratch/cloud.out" "^port " 10; then
  export PAVIX_CLOUD_HOST=127.0.0.1 PAVIX_CLOUD_PORT=$(sed -n 's/^port //p' "$scratch/cloud.out")
  "$program" settings PrinterType=1 >/dev/null
  "$program" --headless >"$scratch/cloud-log.out" 2>&1 &
  server_pid=$!
  check "cloud mode connects with the identity" \
    wait_for "$scratch/cloud.out" "^connect /web/ruzadoridova/RuzadOridovaSocket?guid=$esn&printerver=V1.0$" 10
  check "  ... and sends it every 2 s" wait_for "$scratch/cloud.out" "^text $(printf %s "$esn" | xxd -p -c 100)$" 5
  echo "send $(printf '%s' '{"Model":1,"Data":"[[27,64],[67,10]]","MN":1}' | xxd -p -c 1000)" >&3
  check "a pushed job prints" wait_for "$scratch/cloud-log.out" "云打印：已发送打印数据到打印机" 10
  check "  ... its bytes" test "$(xxd -p "$PAVIX_VIRTUAL_PRINTER_DIR/000004-pavix.prn" 2>/dev/null)" = "1b40430a"
  check "SIGINT ends the cloud server cleanly within 2 s" stop_server INT
  unset PAVIX_CLOUD_HOST PAVIX_CLOUD_PORT
else
  check "the WebSocket server starts" false
fi
echo quit >&3
exec 3>&-

# --- No administrator rights: nothing can be written ------------------------------
touch "$scratch/file"
export PAVIX_SETTINGS_FILE="$scratch/file/settings.reg" PAVIX_AUTOSTART_DIR="$scratch/file/autostart"
"$program" settings PrinterType=2 LocalAddr=127.0.0.1 LocalPort="$port" PrinterName="$printer" >"$scratch/ro.out" 2>&1
check "saving without rights fails with status 1" test $? -eq 1
check "  ... and says why instead of '保存成功!'" grep -q "保存失败" "$scratch/ro.out"
timeout 10 "$program" --headless >"$scratch/ro-log.out" 2>"$scratch/ro-messages.out"
check "the server without rights ends with status 1" test $? -eq 1
check "  ... after asking for the settings" grep -q "  请先进行参数设置$" "$scratch/ro-log.out"
check "  ... and for administrator rights" grep -qx "程序启动失败：请以管理员身份运行此程序" "$scratch/ro-messages.out"

checks_summary
