#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

// The program's icon in the notification area. Mouse actions on it arrive at
// `window` as `callbackMessage` with the mouse message in lParam.
namespace pavix::desktop {

class TrayIcon {
 public:
  TrayIcon(HWND window, UINT callbackMessage, HICON icon, const std::wstring& tip);
  ~TrayIcon();  // removes it
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void SetVisible(bool visible);
  bool Visible() const { return visible_; }
  // The taskbar was made anew (Explorer restarted): adds the icon again when it is meant to show.
  void Restore();

 private:
  bool Add();

  NOTIFYICONDATAW data_{};
  bool visible_ = false;  // meant to show
  bool added_ = false;    // the shell has it
};

}  // namespace pavix::desktop
