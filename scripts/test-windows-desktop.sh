#!/usr/bin/env bash
# The Windows desktop program as a shop would run it, under Wine with a real
# display (Xvfb) and the code page 936 of Chinese Windows: its windows are
# driven and read with the test driver pavix_desktop_probe.exe, its port with
# curl, its printer is a CUPS queue that ends at a socket printer on
# 127.0.0.1 (pavix_cups_relay, built natively). Screenshots of the main window
# and the dialogs are left as PNG files in build/mingw64/desktop-screenshots.
# Wine draws the captions with the system's fonts: fonts-wqy-microhei gives
# them Chinese and Latin letters alike (scripts/install-deps.sh test).
#   scripts/test-windows-desktop.sh        (after scripts/test-windows.sh, or alone)
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/wine-prefix.sh
source tests/support/Checks.sh

build=build/mingw64
shots="$PWD/$build/desktop-screenshots"
queue=PavixDesktopReceipt

if [[ "${1:-}" != --inside-relay ]]; then
  set -e
  jobs=$(nproc)
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64-x86_64.cmake \
      -DCMAKE_C_COMPILER=x86_64-w64-mingw32-gcc-posix -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DPAVIX_BUILD_TESTS=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine >/dev/null
  fi
  cmake --build "$build" -j "$jobs" --target pavix-print-server pavix_desktop_probe
  if [[ ! -f build/native/CMakeCache.txt ]]; then
    cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
  fi
  cmake --build build/native -j "$jobs" --target pavix_cups_relay

  scratch=$(mktemp -d)
  export PAVIX_DESKTOP_SCRATCH="$scratch"
  export WINEPREFIX="$scratch/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  xvfb_pid=""
  cleanup() {
    # Only our own throw-away prefix's server and our own display.
    wineserver -k >/dev/null 2>&1 || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$scratch"
  }
  trap cleanup EXIT

  # A display of our own: Xvfb picks a free number and tells it.
  exec 3>"$scratch/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
  xvfb_pid=$!
  exec 3>&-
  for _ in $(seq 100); do [[ -s "$scratch/display" ]] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$scratch/display")"
  echo "=== Xvfb on $DISPLAY, Wine prefix $WINEPREFIX"

  use_chinese_locale "$scratch"
  # No window manager runs on the display: Wine draws the captions itself.
  boot_wine_prefix 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N || exit 1
  rm -rf "$shots"
  mkdir -p "$shots"
  set +e
  build/native/tests/support/pavix_cups_relay "$queue" "$scratch/cups-jobs" bash "$0" --inside-relay
  exit $?
fi

# --- Inside the relay: the CUPS queue $PAVIX_TEST_CUPS_QUEUE exists --------
scratch=$PAVIX_DESKTOP_SCRATCH
exe="$PWD/$build/pavix-print-server.exe"
probe_exe="$PWD/$build/tests/shell/pavix_desktop_probe.exe"
printed="$PAVIX_TEST_CUPS_JOBS"
server_pid=""

probe() { wine "$probe_exe" "$@" 2>&1; }

# The probe's output holds the line (a fixed string).
has_line() {  # output, line
  grep -qxF -- "$2" <<<"$1" || { echo "  (no line '$2' in:)" >&2; sed 's/^/  | /' <<<"$1" >&2; return 1; }
}

start_server() {
  wine "$exe" >"$scratch/server.out" 2>&1 &
  server_pid=$!
  probe wait main 60 >/dev/null
}

# Ends the server with the tray menu's command, posted or (with "menu") chosen
# in the menu a right-click opens; true when it ended with status 0.
exit_server() {
  if [[ "${1:-}" == menu ]]; then
    local x y w h
    read -r x y w h < <(probe tray-menu | tr -d '\r') || { echo "  (no menu opened)" >&2; return 1; }
    sleep 1
    import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/tray-menu.png"
    echo "     screenshot $shots/tray-menu.png"
    probe choose 1 >/dev/null
  else
    probe post exit >/dev/null
  fi
  server_ended_cleanly 20 退出
}

# The message box that shows within 20 s has this text; it is pressed away.
message_is() {  # text
  local seen
  seen=$(probe message 20 press) || { echo "  (no message box; expected '$1')" >&2; return 1; }
  [[ "$(tr -d '\r' <<<"$seen")" == "$1" ]] || { echo "  (message box says '$seen', expected '$1')" >&2; return 1; }
}

screenshot() {  # window, file name
  local x y w h
  read -r x y w h < <(probe rect "$1" | tr -d '\r')
  sleep 1  # let the window paint
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$2"
  echo "     screenshot $shots/$2"
}

jobs_printed() { find "$printed" -name '*.prn' | wc -l; }

# A job posted to the port arrives byte for byte at the socket printer.
prints_through() {  # port
  local before reply
  before=$(jobs_printed)
  reply=$(curl -sS -m 30 -H 'Content-Type: application/json' --data-binary '[[27,64],[72,105,10]]' \
          "http://127.0.0.1:$1/") || return 1
  [[ "$reply" == '{"RetCode":0,"RetMessage":"打印成功"}' ]] || { echo "  (reply: $reply)" >&2; return 1; }
  for _ in $(seq 300); do (($(jobs_printed) > before)) && break; sleep 0.1; done
  local last
  last=$(find "$printed" -name '*.prn' | sort | tail -1)
  [[ -n "$last" && "$(xxd -p "$last")" == 1b4048690a ]] || { echo "  (printed: $(xxd -p "$last" 2>/dev/null))" >&2; return 1; }
}

refuses_connections() { ! curl -s -m 5 -o /dev/null "http://127.0.0.1:$1/"; }

cleanup_inside() { [[ -n "$server_pid" ]] && kill -KILL "$server_pid" 2>/dev/null; wait 2>/dev/null; }
trap cleanup_inside EXIT

# --- Nothing configured -----------------------------------------------------
start_server
check "the main window shows with its caption, size and controls at their places" has_line "$(probe state main | tr -d '\r')" \
  'client=440x533 caption=Melvo手机版/Pavix-打印服务器V3.0'
state=$(probe state main | tr -d '\r')
for line in 'Label1 visible=1 rect=12,15,75,13 text=服务模式：' 'lblModel visible=1 rect=81,15,97,13 text=' \
            'FlatButton4 visible=1 rect=13,47,70,25 text=二维码' 'FlatButton2 visible=1 rect=116,47,75,25 text=参数设置' \
            'FlatButton1 visible=1 rect=353,46,70,25 text=开启服务'; do
  check "main window: ${line%% *}" has_line "$state" "$line"
done
check "the log says to configure first" probe wait-log "请先进行参数设置" 30
check "the memo fills the rest of the window" grep -q '^Memo visible=1 rect=0,79,440,454 ' <<<"$state"
screenshot main main-window.png
run_key='HKLM\SOFTWARE\Microsoft\windows\CurrentVersion\Run'
check "the autostart value names the program" \
  bash -c "wine reg query '$run_key' /v 'Melvo手机版打印服务器' 2>/dev/null | tr -d '\r' | grep -qi 'pavix-print-server.exe'"

# A second copy says so and leaves.
wine "$exe" >"$scratch/second.out" 2>&1 &
second_pid=$!
check "a second copy shows 打印服务器已经运行" message_is "打印服务器已经运行"
wait "$second_pid"
check "the second copy ends with status 1" test $? -eq 1
check "the first copy's window is still there" probe wait main 1
check "the tray menu's 退出 command ends the program" exit_server

# --- Settings in the registry first: local printing on a free port --------
port=$(free_port)
settings_key='HKLM\SoftWare\PavixRuzadOridova'
for pair in PrinterType=2 PrinterModelType=1 LocalAddr=192.168.1.5 "LocalPort=$port" "PrinterName=$PAVIX_TEST_CUPS_QUEUE"; do
  wine reg add "$settings_key" /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f >/dev/null 2>&1
done
start_server
check "the log shows 服务成功启动" probe wait-log "服务成功启动" 60
state=$(probe state main | tr -d '\r')
check "the mode label reads 本地打印" has_line "$state" 'lblModel visible=1 rect=81,15,97,13 text=本地打印'
check "the start button reads 关闭服务" has_line "$state" 'FlatButton1 visible=1 rect=353,46,70,25 text=关闭服务'
screenshot main main-window-running.png
check "curl's job reaches the printer with the success reply" prints_through "$port"

# Closing the window hides it to the tray; the service goes on.
probe post close >/dev/null
sleep 1
check "closing hides the window" test "$(probe visible main | tr -d '\r')" = 0
check "the hidden program keeps printing" prints_through "$port"
probe post tray-dblclick >/dev/null
sleep 1
check "a double-click on the tray icon shows the window again" test "$(probe visible main | tr -d '\r')" = 1

# --- The pairing dialog -----------------------------------------------------
probe click main FlatButton4 >/dev/null
check "the pairing dialog opens" probe wait qrcode 30
state=$(probe state qrcode | tr -d '\r')
check "the pairing dialog has its size and caption" has_line "$state" 'client=261x344 caption=二维码'
check "the picture control is 220 × 220 at 19, 7" has_line "$state" 'Image visible=1 rect=19,7,220,220 text='
check "the close button" has_line "$state" 'FlatButton1 visible=1 rect=96,291,75,25 text=关闭'
screenshot qrcode pairing-dialog.png
# The modal loop serves the UI queue: a job's log line does not wait for the dialog.
check "a job prints while the pairing dialog is open" prints_through "$port"
probe pairing-text >"$scratch/pairing-expected.txt"
zbarimg -q --raw "$shots/pairing-dialog.png" >"$scratch/pairing-seen.txt" 2>/dev/null
# zbarimg ends its output with a line break of its own.
check "the pairing picture decodes to the pairing text" \
  bash -c "cmp <(head -c -1 '$scratch/pairing-seen.txt') '$scratch/pairing-expected.txt'"
probe click qrcode FlatButton1 >/dev/null
check "关闭 closes the pairing dialog" probe wait-gone qrcode 10

# --- The settings dialog: the save path through the Win32 views -------------
probe click main FlatButton2 >/dev/null
check "the settings dialog opens" probe wait config 30
# Wine may have no default printer: then the dialog says so first.
probe message 3 press >/dev/null
state=$(probe state config | tr -d '\r')
check "the settings dialog has its size and caption" has_line "$state" 'client=294x238 caption=参数设置'
check "stored local mode: 本地打印 checked" has_line "$state" 'RadioButton2 visible=1 rect=178,26,92,17 checked=1 text=本地打印'
check "stored local mode: the address row shows the stored address" has_line "$state" 'edtip visible=1 rect=76,72,185,19 text=192.168.1.5'
check "stored local mode: the port row shows the stored port" has_line "$state" "edtport visible=1 rect=76,97,55,19 text=$port"
check "stored local mode: the printer row at 126 with the stored printer selected" \
  grep -q "^cbxprinter visible=1 rect=76,126,188,[0-9]* items=.*$PAVIX_TEST_CUPS_QUEUE.* selected=[0-9]" <<<"$state"
check "the template check box is hidden and checked" has_line "$state" 'chkuseappmodel visible=0 rect=76,49,146,17 checked=1 text=使用App打印模板'
check "the help link" has_line "$state" 'Label1 visible=1 rect=60,204,219,13 text=不知道怎么配置？点我呀'
check "the service stopped while the dialog is open" probe wait-log "服务已停止" 1
screenshot config settings-local.png

probe click config RadioButton1 >/dev/null
sleep 1
state=$(probe state config | tr -d '\r')
check "云打印 hides the address row" has_line "$state" 'edtip visible=0 rect=76,72,185,19 text=192.168.1.5'
check "云打印 hides the port label" grep -q '^Label3 visible=0 ' <<<"$state"
check "云打印 moves the printer row to 97" grep -q '^Label4 visible=1 rect=29,97,52,13 ' <<<"$state"
screenshot config settings-cloud.png

probe click config RadioButton2 >/dev/null
probe set-text config edtport abc >/dev/null
probe click config FlatButton3 >/dev/null
check "port abc: 请填写正确的端口" message_is "请填写正确的端口"
check "the dialog stays open after a refused save" probe wait config 1
probe set-text config edtip "" >/dev/null
probe click config FlatButton3 >/dev/null
check "no address: 您选择是【本地打印】，请完整填写地址与端口" message_is "您选择是【本地打印】，请完整填写地址与端口"
# The port stays: the local channel keeps the port it was made with until the program restarts.
probe set-text config edtip 127.0.0.1 >/dev/null
probe set-text config edtport "$port" >/dev/null
probe select config cbxprinter "$PAVIX_TEST_CUPS_QUEUE" >/dev/null
probe click config FlatButton3 >/dev/null
check "a changed address: the rescan message" message_is "本次配置保存成功！请各终端【手机/iPad】等重新扫描二维码"
check "the dialog closes after saving" probe wait-gone config 10
check "the address is stored" \
  bash -c "wine reg query '$settings_key' /v LocalAddr 2>/dev/null | tr -d '\r' | grep -q ' 127\.0\.0\.1\$'"
check "the service starts again after saving" prints_through "$port"

# Saving the same settings again: 保存成功!
probe click main FlatButton2 >/dev/null
probe wait config 30 >/dev/null
probe message 3 press >/dev/null
probe click config FlatButton3 >/dev/null
check "unchanged settings: 保存成功!" message_is "保存成功!"
probe wait-gone config 10 >/dev/null

# Cancel leaves the service stopped.
probe click main FlatButton2 >/dev/null
probe wait config 30 >/dev/null
probe message 3 press >/dev/null
probe click config FlatButton1 >/dev/null
check "取消 closes the settings dialog" probe wait-gone config 10
check "after 取消 the button reads 开启服务" \
  has_line "$(probe state main | tr -d '\r')" 'FlatButton1 visible=1 rect=353,46,70,25 text=开启服务'
check "after 取消 the service is stopped" refuses_connections "$port"
probe click main FlatButton1 >/dev/null
check "开启服务 starts it again" prints_through "$port"

check "退出 chosen in the tray icon's menu ends the program" exit_server menu
check "退出 stopped the channels" refuses_connections "$port"

# --- The installer: Program Files, Start menu, and an uninstaller that takes
# the autostart value (written by the runs above) away with the files ---------
installed="$WINEPREFIX/drive_c/Program Files/Pavix Print Server"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pavix 打印服务器"
autostart_written() { wine reg query "$run_key" /v 'Melvo手机版打印服务器' >/dev/null 2>&1; }
autostart_gone() { ! autostart_written; }
makensis -V1 -INPUTCHARSET UTF8 -DARCH=x86_64 -DEXE="$exe" -DREADME="$PWD/packaging/windows/README.txt" \
  -DOUTFILE="$scratch/pavix-installer.exe" packaging/windows/installer.nsi
# Nothing of the program may still run: the installer waits for the prefix's processes.
[[ -n "$server_pid" ]] && kill -KILL "$server_pid" 2>/dev/null
wine "$scratch/pavix-installer.exe" /S
timeout 120 wineserver -w
check "the installer puts the program in Program Files" test -f "$installed/pavix-print-server.exe"
check "the installer puts the read-me beside it" test -f "$installed/README.txt"
check "the installer adds the Start-menu entry" test -f "$menu/Melvo手机版 Pavix 打印服务器.lnk"
check "the autostart value is there before uninstalling" autostart_written
wine "C:\\Program Files\\Pavix Print Server\\uninstall.exe" /S
timeout 120 wineserver -w
check "uninstalling removes the autostart value" autostart_gone
check "uninstalling removes the program" test ! -e "$installed/pavix-print-server.exe"
check "uninstalling removes the Start-menu entry" test ! -e "$menu"

echo "Desktop screenshots in $shots"
checks_summary
