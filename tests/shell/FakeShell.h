#pragma once

#include <functional>
#include <initializer_list>
#include <utility>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EventLoopDispatcher.h"
#include "MemoryViews.h"
#include "uMain.h"

namespace pavix::test {

// A toolkit that records what the windows' logic asks of it. Dialogs run the
// test's script; without one they are cancelled at once.
class FakeShell final : public IProgramShell {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void ProcessMessages() override { ++processed; }
  void Terminate(int exitCode) override { terminated = exitCode; }
  void OpenWebAddress(const std::string& url) override { opened.push_back(url); }
  bool RunConfigDialog(TfrmConfig& form) override;
  bool RunQrCodeDialog(TfrmQrCode& form) override;

  IMainView& CreateMainWindow(TfrmMain& form) override;
  platform::IUiDispatcher& Ui() override { return ui; }
  // The first display, then the test's script as the user's actions.
  int RunMessageLoop() override;
  void DestroyMainWindow() override { mainView.reset(); }

  // The operator's actions in an open dialog, after its FormShow.
  std::function<void(TfrmConfig&, TMemoryConfigView&)> configScript;
  std::function<void(TfrmQrCode&, TMemoryQrCodeView&)> qrCodeScript;
  std::function<void(TfrmMain&, TMemoryMainView&)> whileRunning;

  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> opened;
  std::optional<int> terminated;
  int processed = 0;
  int configShown = 0;
  int qrCodeShown = 0;
  std::unique_ptr<TMemoryMainView> mainView;
  TfrmMain* mainForm = nullptr;
  platform::EventLoopDispatcher ui;
};

// Stores each pair as a setting; the test fails when the store refuses.
void StoreSettings(std::initializer_list<std::pair<const char*, const char*>> values);

}  // namespace pavix::test
