#include "MainWindow.h"

#include "DesktopMessages.h"
#include "LayoutControls.h"
#include "WideText.h"

namespace pavix::desktop {

namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kMainExStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW;
// The first display's work runs once the window is up, not inside ShowWindow.
constexpr UINT kFormShowMessage = WM_APP + 2;
constexpr COLORREF kTeal = RGB(0, 128, 128);

}  // namespace

MainWindow::MainWindow(IShell& shell, TfrmMain& form, HFONT font)
    : shell_(shell), form_(form), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
  window_ = CreateHostedWindow(kMainWindowClass, kMainStyle, kMainExStyle, WideFromUtf8(kMainWindow.caption),
                               kMainWindow.clientWidth, kMainWindow.clientHeight, nullptr, *this);
  controls_ = CreateLayoutControls(Handle(), kMainLayout, font);
  CenterOver(Handle(), nullptr);
  tray_ = std::make_unique<TrayIcon>(Handle(), kTrayCallbackMessage, ProgramIcon(GetSystemMetrics(SM_CXSMICON)),
                                     WideFromUtf8(texts::kTrayTip));
  // The tray icon is there from the start.
  tray_->SetVisible(true);
}

MainWindow::~MainWindow() {
  tray_.reset();
  window_.reset();
}

HWND MainWindow::Control(MainControl control) const { return controls_[IndexOf(kMainLayout, control)]; }

void MainWindow::SetCaption(MainControl control, const std::string& caption) {
  HWND target = Control(control);
  if (target != nullptr) SetWindowTextW(target, WideFromSystem(caption).c_str());
}

void MainWindow::AppendLogLine(const std::string& line) {
  HWND memo = Control(MainControl::Memo);
  const std::wstring text = WideFromSystem(line) + L"\r\n";
  const auto end = static_cast<WPARAM>(GetWindowTextLengthW(memo));
  SendMessageW(memo, EM_SETSEL, end, static_cast<LPARAM>(end));
  SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::SetWindowVisible(bool visible) {
  ShowWindow(Handle(), visible ? SW_SHOW : SW_HIDE);
  if (visible) SetForegroundWindow(Handle());
}

void MainWindow::SetTrayIconVisible(bool visible) { tray_->SetVisible(visible); }

void MainWindow::OnCommand(int id) {
  const auto handler = [this, id]() -> std::function<void()> {
    if (id == static_cast<int>(kExitCommand)) return [this] { form_.N1Click(); };
    if (id == ControlIdOf(IndexOf(kMainLayout, MainControl::FlatButton1))) return [this] { form_.FlatButton1Click(); };
    if (id == ControlIdOf(IndexOf(kMainLayout, MainControl::FlatButton2))) return [this] { form_.FlatButton2Click(); };
    if (id == ControlIdOf(IndexOf(kMainLayout, MainControl::FlatButton4))) return [this] { form_.FlatButton4Click(); };
    return nullptr;
  }();
  if (handler) RunUiAction(shell_, handler);
}

void MainWindow::OnTrayMessage(UINT mouseMessage) {
  if (mouseMessage == WM_LBUTTONDBLCLK) {
    RunUiAction(shell_, [this] { form_.TrayIcon1DblClick(); });
  } else if (mouseMessage == WM_RBUTTONUP) {
    ShowTrayMenu();
  }
}

void MainWindow::ShowTrayMenu() {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_STRING, kExitCommand, WideFromUtf8(texts::kExitMenuItem).c_str());
  POINT cursor{};
  GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(Handle());
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
  DestroyMenu(menu);
}

void MainWindow::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(Handle(), &paint);
  for (const auto& entry : kMainLayout) {
    if (entry.kind != ControlKind::Panel) continue;
    const RECT band{entry.left, entry.top, entry.left + entry.width, entry.top + entry.height};
    // The thin panel is the separator under the top band.
    FillRect(dc, &band, GetSysColorBrush(entry.height <= 2 ? COLOR_BTNSHADOW : COLOR_BTNFACE));
  }
  EndPaint(Handle(), &paint);
}

LRESULT MainWindow::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) OnCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE: {
      bool mayClose = false;
      RunUiAction(shell_, [this, &mayClose] { mayClose = form_.FormCloseQuery(); });
      if (mayClose) shell_.Terminate(0);
      return 0;
    }
    case WM_QUERYENDSESSION:
      return TRUE;  // hiding to the tray must not hold up the end of the session
    case WM_ENDSESSION:
      if (wParam != FALSE) RunUiAction(shell_, [this] { form_.N1Click(); });
      return 0;
    case WM_SHOWWINDOW:
      if (wParam != FALSE) PostMessageW(window, kFormShowMessage, 0, 0);
      break;
    case kFormShowMessage:
      if (IsWindowVisible(window)) RunUiAction(shell_, [this] { form_.FormShow(); });
      return 0;
    case kTrayCallbackMessage:
      OnTrayMessage(static_cast<UINT>(LOWORD(lParam)));
      return 0;
    case WM_CTLCOLORSTATIC: {
      auto dc = reinterpret_cast<HDC>(wParam);
      auto control = reinterpret_cast<HWND>(lParam);
      if (control == Control(MainControl::Memo)) {
        // The read-only log keeps the look of a writing surface.
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      if (control == Control(MainControl::lblModel)) SetTextColor(dc, kTeal);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_PAINT:
      Paint();
      return 0;
    default:
      if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        tray_->Restore();
        return 0;
      }
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pavix::desktop
