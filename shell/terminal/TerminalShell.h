#pragma once

#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "EventLoopDispatcher.h"
#include "uMain.h"

// The program without a desktop: the log pane is standard output, message
// boxes go to a stream of their own, the UI thread is a plain event loop, and
// the dialogs are whatever the terminal command makes of them.
namespace pavix {

class TerminalShell final : public IProgramShell {
 public:
  TerminalShell(std::ostream& log, std::ostream& messages, std::ostream& errors);
  ~TerminalShell() override;

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ProcessMessages() override { ui_.ProcessPending(); }
  // From the UI thread or any other.
  void Terminate(int exitCode) override;
  void OpenWebAddress(const std::string& url) override;

  // The terminal commands set these; unset, a dialog cannot be shown here.
  std::function<bool(TfrmConfig&)> configDialog;
  std::function<bool(TfrmQrCode&)> qrCodeDialog;
  bool RunConfigDialog(TfrmConfig& form) override;
  bool RunQrCodeDialog(TfrmQrCode& form) override;

  IMainView& CreateMainWindow(TfrmMain& form) override;
  platform::IUiDispatcher& Ui() override { return ui_; }
  // SIGINT and SIGTERM act as the tray menu's "退出".
  int RunMessageLoop() override;
  void DestroyMainWindow() override;

 private:
  class LogPane;

  std::ostream& log_;
  std::ostream& messages_;
  std::ostream& errors_;
  platform::EventLoopDispatcher ui_;
  std::unique_ptr<LogPane> mainView_;
  TfrmMain* mainForm_ = nullptr;
  std::atomic<bool> terminated_{false};
  std::atomic<int> exitCode_{0};
};

}  // namespace pavix
