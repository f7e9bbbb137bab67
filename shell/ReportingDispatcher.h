#pragma once

#include "Shell.h"
#include "UiDispatcher.h"

// The UI queue as the desktop program hands it to the service: work posted
// from other threads that raises is reported with the application's error
// box, as a window's event would be, instead of leaving through the window
// procedure that runs it.
namespace pavix {

class ReportingDispatcher final : public platform::IUiDispatcher {
 public:
  ReportingDispatcher(platform::IUiDispatcher& queue, IShell& shell) : queue_(queue), shell_(shell) {}

  bool IsUiThread() const override { return queue_.IsUiThread(); }
  void RunAndWait(std::function<void()> work) override { queue_.RunAndWait(std::move(work)); }
  void Post(std::function<void()> work) override {
    queue_.Post([&shell = shell_, work = std::move(work)] { RunUiAction(shell, work); });
  }
  bool ProcessPending() override { return queue_.ProcessPending(); }
  void ServeUntil(const std::function<bool()>& done) override { queue_.ServeUntil(done); }

 private:
  platform::IUiDispatcher& queue_;
  IShell& shell_;
};

}  // namespace pavix
