#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "GdiHandles.h"
#include "TrayIcon.h"
#include "WindowHost.h"
#include "uMain.h"

// The main window on Win32: the controls of kMainLayout, the log pane, the
// tray icon with its menu. Its events go to TfrmMain.
namespace pavix::desktop {

class MainWindow final : public IMainView, private IMessageHandler {
 public:
  MainWindow(IShell& shell, TfrmMain& form, HFONT font);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_.get(); }

  void SetCaption(MainControl control, const std::string& caption) override;
  void AppendLogLine(const std::string& line) override;
  void SetWindowVisible(bool visible) override;
  void SetTrayIconVisible(bool visible) override;

 private:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnCommand(int id);
  void OnTrayMessage(UINT mouseMessage);
  void ShowTrayMenu();
  void Paint();
  HWND Control(MainControl control) const;

  IShell& shell_;
  TfrmMain& form_;
  const UINT taskbarCreated_;
  UniqueWindow window_;
  std::array<HWND, kMainLayout.size()> controls_{};
  std::unique_ptr<TrayIcon> tray_;
};

}  // namespace pavix::desktop
