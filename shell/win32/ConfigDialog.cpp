#include "ConfigDialog.h"

#include "DesktopMessages.h"
#include "LayoutControls.h"
#include "Shell.h"
#include "WideText.h"

namespace pavix::desktop {

namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr COLORREF kTeal = RGB(0, 128, 128);

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

ConfigDialog::ConfigDialog(IShell& shell, TfrmConfig& form, HWND owner, HFONT font)
    : shell_(shell), form_(form), linkFont_(UnderlinedFont(font)) {
  window_ = CreateHostedWindow(kDialogWindowClass, kDialogStyle, kDialogExStyle, WideFromUtf8(kConfigWindow.caption),
                               kConfigWindow.clientWidth, kConfigWindow.clientHeight, owner, *this);
  controls_ = CreateLayoutControls(Handle(), kConfigLayout, font);
  if (linkFont_) {
    SendMessageW(Control(ConfigControl::Label1), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
  }
  CenterOver(Handle(), owner);
}

ConfigDialog::~ConfigDialog() { window_.reset(); }

HWND ConfigDialog::Control(ConfigControl control) const { return controls_[IndexOf(kConfigLayout, control)]; }

bool ConfigDialog::Checked(ConfigControl control) const {
  return SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ConfigDialog::SetChecked(ConfigControl control, bool checked) {
  SendMessageW(Control(control), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!checked) return;
  const std::size_t index = IndexOf(kConfigLayout, control);
  if (kConfigLayout[index].kind != ControlKind::RadioButton) return;
  // The window's radio buttons form one group.
  for (std::size_t i = 0; i < kConfigLayout.size(); ++i) {
    if (i != index && kConfigLayout[i].kind == ControlKind::RadioButton) {
      SendMessageW(controls_[i], BM_SETCHECK, BST_UNCHECKED, 0);
    }
  }
}

std::string ConfigDialog::Text(ConfigControl control) const { return SystemFromWide(WindowText(Control(control))); }

void ConfigDialog::SetText(ConfigControl control, const std::string& text) {
  SetWindowTextW(Control(control), WideFromSystem(text).c_str());
}

void ConfigDialog::SetVisible(ConfigControl control, bool visible) {
  ShowWindow(Control(control), visible ? SW_SHOWNA : SW_HIDE);
}

void ConfigDialog::SetTop(ConfigControl control, int top) {
  const auto& entry = kConfigLayout[IndexOf(kConfigLayout, control)];
  SetWindowPos(Control(control), nullptr, entry.left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ConfigDialog::SetPrinters(const std::vector<std::string>& names) {
  HWND list = Control(ConfigControl::cbxprinter);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const auto& name : names) {
    const std::wstring wide = WideFromSystem(name);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

int ConfigDialog::PrinterIndex() const {
  const LRESULT index = SendMessageW(Control(ConfigControl::cbxprinter), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ConfigDialog::SetPrinterIndex(int index) {
  SendMessageW(Control(ConfigControl::cbxprinter), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ConfigDialog::OnCommand(int id) {
  const auto is = [id](ConfigControl control) { return id == ControlIdOf(IndexOf(kConfigLayout, control)); };
  if (is(ConfigControl::RadioButton1)) {
    RunUiAction(shell_, [this] { form_.RadioButton1Click(); });
  } else if (is(ConfigControl::RadioButton2)) {
    RunUiAction(shell_, [this] { form_.RadioButton2Click(); });
  } else if (is(ConfigControl::FlatButton3)) {
    RunUiAction(shell_, [this] { form_.FlatButton3Click(); });
  } else if (is(ConfigControl::FlatButton1)) {
    RunUiAction(shell_, [this] { form_.FlatButton1Click(); });
  } else if (is(ConfigControl::Label1)) {
    RunUiAction(shell_, [this] { form_.Label1Click(); });
  } else if (id == IDCANCEL) {
    Close();  // Esc, as the close box
  }
}

LRESULT ConfigDialog::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // BN_CLICKED and STN_CLICKED are both 0.
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_CLOSE:
      Close();  // not through a save: the form's result stays false
      return 0;
    case WM_CTLCOLORSTATIC: {
      auto dc = reinterpret_cast<HDC>(wParam);
      if (reinterpret_cast<HWND>(lParam) == Control(ConfigControl::Label1)) SetTextColor(dc, kTeal);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Control(ConfigControl::Label1)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace pavix::desktop
