#include "TerminalShell.h"

#include <ostream>

#include "Browser.h"
#include "TerminationRequests.h"

namespace pavix {

class TerminalShell::LogPane final : public IMainView {
 public:
  explicit LogPane(std::ostream& out) : out_(out) {}
  void SetCaption(MainControl, const std::string&) override {}
  // One line at a time, at once: whoever reads the pipe sees it when it happens.
  void AppendLogLine(const std::string& line) override { out_ << line << std::endl; }
  void SetWindowVisible(bool) override {}
  void SetTrayIconVisible(bool) override {}

 private:
  std::ostream& out_;
};

TerminalShell::TerminalShell(std::ostream& log, std::ostream& messages, std::ostream& errors)
    : log_(log), messages_(messages), errors_(errors) {}

TerminalShell::~TerminalShell() = default;

void TerminalShell::ShowMessage(const std::string& text) { messages_ << text << std::endl; }

void TerminalShell::ShowError(const std::string& message) { errors_ << message << std::endl; }

void TerminalShell::Terminate(int exitCode) {
  exitCode_ = exitCode;
  terminated_ = true;
  ui_.Post([] {});  // wakes the loop to see it
}

void TerminalShell::OpenWebAddress(const std::string& url) { platform::OpenWebAddress(url); }

bool TerminalShell::RunConfigDialog(TfrmConfig& form) { return configDialog ? configDialog(form) : false; }

bool TerminalShell::RunQrCodeDialog(TfrmQrCode& form) { return qrCodeDialog ? qrCodeDialog(form) : false; }

IMainView& TerminalShell::CreateMainWindow(TfrmMain& form) {
  mainForm_ = &form;
  mainView_ = std::make_unique<LogPane>(log_);
  return *mainView_;
}

int TerminalShell::RunMessageLoop() {
  const auto watch = platform::WatchTerminationRequests([this] {
    ui_.Post([this] {
      if (mainForm_ != nullptr) RunUiAction(*this, [this] { mainForm_->N1Click(); });
    });
  });
  if (mainForm_ != nullptr) RunUiAction(*this, [this] { mainForm_->FormShow(); });
  while (!terminated_) {
    // Queued work that raises is reported as a window's event would be, and the loop goes on.
    RunUiAction(*this, [this] { ui_.ServeUntil([this] { return terminated_.load(); }); });
  }
  return exitCode_;
}

void TerminalShell::DestroyMainWindow() {
  mainForm_ = nullptr;
  mainView_.reset();
}

}  // namespace pavix
