#include "TrayIcon.h"

#include <algorithm>

namespace pavix::desktop {

TrayIcon::TrayIcon(HWND window, UINT callbackMessage, HICON icon, const std::wstring& tip) {
  data_.cbSize = sizeof data_;
  data_.hWnd = window;
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
  data_.hIcon = icon;
  const std::size_t length = std::min(tip.size(), std::size(data_.szTip) - 1);
  std::copy_n(tip.begin(), length, data_.szTip);
}

TrayIcon::~TrayIcon() { SetVisible(false); }

bool TrayIcon::Add() {
  // A shell without a notification area refuses: the window still works.
  added_ = Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
  return added_;
}

void TrayIcon::SetVisible(bool visible) {
  visible_ = visible;
  if (visible && !added_) {
    Add();
  } else if (!visible && added_) {
    Shell_NotifyIconW(NIM_DELETE, &data_);
    added_ = false;
  }
}

void TrayIcon::Restore() {
  added_ = false;  // the new taskbar knows nothing of the old icon
  if (visible_) Add();
}

}  // namespace pavix::desktop
