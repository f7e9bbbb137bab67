#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include "GdiHandles.h"
#include "MessageWindowDispatcher.h"
#include "ReportingDispatcher.h"
#include "uMain.h"

// The desktop program on Win32: the main window with its tray icon, the two
// modal dialogs, message boxes, and the message loop that also serves the UI
// queue (so log lines and cloud events keep flowing in dialogs and message
// boxes).
namespace pavix::desktop {

class MainWindow;

class Win32Shell final : public IProgramShell {
 public:
  Win32Shell();
  ~Win32Shell() override;

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ProcessMessages() override { ui_.ProcessPending(); }
  // From the UI thread or any other.
  void Terminate(int exitCode) override;
  void OpenWebAddress(const std::string& url) override;
  bool RunConfigDialog(TfrmConfig& form) override;
  bool RunQrCodeDialog(TfrmQrCode& form) override;

  IMainView& CreateMainWindow(TfrmMain& form) override;
  platform::IUiDispatcher& Ui() override { return ui_; }
  int RunMessageLoop() override;
  void DestroyMainWindow() override;

 private:
  // What a message box or dialog is owned by: the innermost modal dialog,
  // else the main window while it shows.
  HWND CurrentOwner() const;
  void ShowBox(const std::string& text, UINT icon);
  // Shows a modal dialog with `form`'s logic attached until it closes.
  template <class Dialog, class Form>
  bool RunDialog(Form& form);

  platform::MessageWindowDispatcher queue_;
  pavix::ReportingDispatcher ui_{queue_, *this};
  platform::UniqueFont font_;
  std::unique_ptr<MainWindow> main_;
  std::vector<HWND> modalDialogs_;
  std::atomic<bool> terminated_{false};
  std::atomic<int> exitCode_{0};
};

}  // namespace pavix::desktop
