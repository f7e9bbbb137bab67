// Drives the desktop program from outside, as a user would, for the Wine
// tests: finds its windows by class and caption, reads their controls, clicks
// them, and reads and dismisses message boxes. Texts in and out are UTF-8.
//   pavix_desktop_probe COMMAND ARGUMENTS...   (see kUsage)
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "CodePage.h"
#include "DesktopMessages.h"
#include "uConfig.h"
#include "uMain.h"
#include "uQrCode.h"

namespace {

using namespace pavix;
using desktop::ControlIdOf;

constexpr const char* kUsage =
    "usage: pavix_desktop_probe wait WINDOW SECONDS | wait-gone WINDOW SECONDS | visible WINDOW\n"
    "       | state WINDOW | rect WINDOW | log | wait-log TEXT SECONDS\n"
    "       | click WINDOW CONTROL | set-text WINDOW CONTROL TEXT | select WINDOW CONTROL ITEM\n"
    "       | message SECONDS [press] | post close|exit|tray-dblclick | tray-menu | choose N | pairing-text\n"
    "WINDOW: main, config or qrcode; CONTROL: a name of the window's layout table\n";

std::string Utf8(const std::wstring& text) { return platform::Utf16ToUtf8(std::u16string(text.begin(), text.end())); }
std::wstring Wide(std::string_view utf8) {
  const std::u16string text = platform::Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

void Print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  const auto length = SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// One of the program's windows: how to find it and what its layout holds.
struct Target {
  const wchar_t* windowClass;
  std::string_view caption;
  std::vector<std::pair<std::string_view, ControlKind>> controls;  // in layout order
};

template <class Layout>
std::vector<std::pair<std::string_view, ControlKind>> Names(const Layout& layout) {
  std::vector<std::pair<std::string_view, ControlKind>> names;
  for (const auto& entry : layout) names.emplace_back(entry.name, entry.kind);
  return names;
}

Target TargetOf(const std::string& name) {
  if (name == "main") return {desktop::kMainWindowClass, kMainWindow.caption, Names(kMainLayout)};
  if (name == "config") return {desktop::kDialogWindowClass, kConfigWindow.caption, Names(kConfigLayout)};
  if (name == "qrcode") return {desktop::kDialogWindowClass, kQrCodeWindow.caption, Names(kQrCodeLayout)};
  throw std::runtime_error("no window called " + name);
}

HWND Find(const Target& target) { return FindWindowW(target.windowClass, Wide(target.caption).c_str()); }

HWND FindOrFail(const Target& target) {
  HWND window = Find(target);
  if (window == nullptr) throw std::runtime_error("window not found: " + std::string(target.caption));
  return window;
}

std::size_t IndexOfName(const Target& target, const std::string& control) {
  for (std::size_t i = 0; i < target.controls.size(); ++i) {
    if (target.controls[i].first == control) return i;
  }
  throw std::runtime_error("no control called " + control);
}

bool WaitFor(double seconds, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (true) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

std::string RectText(HWND parent, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right - rect.left) +
         "," + std::to_string(rect.bottom - rect.top);
}

// One line per control: NAME visible=0|1 rect=L,T,W,H [checked=0|1] [items=A|B selected=N] text=...
int State(const Target& target) {
  HWND window = FindOrFail(target);
  RECT client{};
  GetClientRect(window, &client);
  std::string out = "client=" + std::to_string(client.right) + "x" + std::to_string(client.bottom) +
                    " caption=" + Utf8(WindowText(window)) + "\n";
  for (std::size_t i = 0; i < target.controls.size(); ++i) {
    const auto& [name, kind] = target.controls[i];
    HWND control = GetDlgItem(window, ControlIdOf(i));
    if (control == nullptr) continue;  // panels are drawn, not made
    // The control's own flag: a dialog not shown yet still tells which of its controls will show.
    const bool visible = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    out += std::string(name) + " visible=" + (visible ? "1" : "0") + " rect=" + RectText(window, control);
    if (kind == ControlKind::RadioButton || kind == ControlKind::CheckBox) {
      out += std::string(" checked=") + (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
    }
    if (kind == ControlKind::DropDownList) {
      std::string items;
      const auto count = SendMessageW(control, CB_GETCOUNT, 0, 0);
      for (LRESULT item = 0; item < count; ++item) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(control, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(control, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()))));
        items += (item > 0 ? "|" : "") + Utf8(text);
      }
      out += " items=" + items + " selected=" + std::to_string(SendMessageW(control, CB_GETCURSEL, 0, 0));
    }
    out += " text=" + Utf8(WindowText(control)) + "\n";
  }
  Print(out);
  return 0;
}

HWND MemoOf(HWND main) { return GetDlgItem(main, ControlIdOf(IndexOfName(TargetOf("main"), "Memo"))); }

BOOL CALLBACK KeepFirstMessageBox(HWND window, LPARAM result) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
  }
  return TRUE;
}

// The visible message box of the program, if any.
HWND FindMessageBox() {
  HWND found = nullptr;
  EnumWindows(KeepFirstMessageBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string MessageText(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[16] = {};
    GetClassNameW(child, name, 16);
    if (_wcsicmp(name, L"Static") == 0 && !WindowText(child).empty()) text += Utf8(WindowText(child));
  }
  return text;
}

void Click(HWND window, HWND control, ControlKind kind) {
  const int id = GetDlgCtrlID(control);
  if (kind == ControlKind::RadioButton || kind == ControlKind::CheckBox) {
    PostMessageW(control, BM_CLICK, 0, 0);  // the button checks itself and reports the click
  } else {
    // Posted, as the control would: a click that opens a dialog must not hold the probe.
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  }
}

// A right-click on the tray icon: waits for the menu that opens and prints
// its place on the screen ("X Y W H"). Its items cannot be read from another
// process under Wine; a screenshot shows them.
int OpenTrayMenu() {
  HWND main = FindOrFail(TargetOf("main"));
  PostMessageW(main, desktop::kTrayCallbackMessage, 1, WM_RBUTTONUP);
  HWND menu = nullptr;
  const bool opened = WaitFor(10, [&] {
    menu = FindWindowW(L"#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
  });
  if (!opened) throw std::runtime_error("no menu opened");
  RECT rect{};
  GetWindowRect(menu, &rect);
  Print(std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
        " " + std::to_string(rect.bottom - rect.top) + "\n");
  return 0;
}

// Chooses the open menu's item `position` (from 1) with the keyboard, as a user would.
int ChooseMenuItem(int position) {
  HWND menu = FindWindowW(L"#32768", nullptr);
  if (menu == nullptr || !IsWindowVisible(menu)) throw std::runtime_error("no menu open");
  for (int down = 0; down < position; ++down) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const auto arg = [&args](std::size_t i) -> const std::string& {
    if (i >= args.size()) throw std::runtime_error("missing argument");
    return args[i];
  };
  const std::string& command = arg(0);
  if (command == "wait") return WaitFor(std::stod(arg(2)), [&] { return Find(TargetOf(arg(1))) != nullptr; }) ? 0 : 1;
  if (command == "wait-gone") {
    return WaitFor(std::stod(arg(2)), [&] { return Find(TargetOf(arg(1))) == nullptr; }) ? 0 : 1;
  }
  if (command == "visible") {
    Print(IsWindowVisible(FindOrFail(TargetOf(arg(1)))) ? "1\n" : "0\n");
    return 0;
  }
  if (command == "state") return State(TargetOf(arg(1)));
  if (command == "rect") {
    RECT rect{};
    GetWindowRect(FindOrFail(TargetOf(arg(1))), &rect);
    Print(std::to_string(rect.left) + " " + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
          " " + std::to_string(rect.bottom - rect.top) + "\n");
    return 0;
  }
  if (command == "log") {
    Print(Utf8(WindowText(MemoOf(FindOrFail(TargetOf("main"))))));
    return 0;
  }
  if (command == "wait-log") {
    const std::wstring wanted = Wide(arg(1));
    std::wstring seen;
    const bool found = WaitFor(std::stod(arg(2)), [&] {
      HWND main = Find(TargetOf("main"));
      seen = main != nullptr ? WindowText(MemoOf(main)) : L"";
      return seen.find(wanted) != std::wstring::npos;
    });
    if (!found) Print("no '" + arg(1) + "' in the log:\n" + Utf8(seen));
    return found ? 0 : 1;
  }
  if (command == "click" || command == "set-text" || command == "select") {
    const Target target = TargetOf(arg(1));
    HWND window = FindOrFail(target);
    const std::size_t index = IndexOfName(target, arg(2));
    HWND control = GetDlgItem(window, ControlIdOf(index));
    if (control == nullptr) throw std::runtime_error("control not made: " + arg(2));
    if (command == "click") {
      Click(window, control, target.controls[index].second);
    } else if (command == "set-text") {
      SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(arg(3)).c_str()));
    } else {
      const auto item = SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(Wide(arg(3)).c_str()));
      if (item == CB_ERR) throw std::runtime_error("no entry " + arg(3));
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    }
    return 0;
  }
  if (command == "message") {
    HWND box = nullptr;
    if (!WaitFor(std::stod(arg(1)), [&] { return (box = FindMessageBox()) != nullptr; })) return 1;
    Print(MessageText(box) + "\n");
    if (args.size() > 2 && args[2] == "press") PostMessageW(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  if (command == "post") {
    HWND main = FindOrFail(TargetOf("main"));
    const std::string& what = arg(1);
    if (what == "close") return PostMessageW(main, WM_CLOSE, 0, 0) ? 0 : 1;
    if (what == "exit") return PostMessageW(main, WM_COMMAND, MAKEWPARAM(desktop::kExitCommand, 0), 0) ? 0 : 1;
    if (what == "tray-dblclick") return PostMessageW(main, desktop::kTrayCallbackMessage, 1, WM_LBUTTONDBLCLK) ? 0 : 1;
    throw std::runtime_error("nothing to post called " + what);
  }
  if (command == "tray-menu") return OpenTrayMenu();
  if (command == "choose") return ChooseMenuItem(std::stoi(arg(1)));
  if (command == "pairing-text") {
    // What the program's dialog encodes, from the same registry and identity.
    Print(PairingText(ReadPairingSettings()));
    return 0;
  }
  throw std::runtime_error("unknown command " + command);
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Utf8(wide[i]));
  LocalFree(wide);
  try {
    if (args.empty()) throw std::runtime_error("no command");
    return Run(args);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "pavix_desktop_probe: %s\n%s", error.what(), kUsage);
    return 2;
  }
}
