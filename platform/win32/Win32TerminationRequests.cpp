#include <windows.h>

#include <mutex>

#include "TerminationRequests.h"

namespace pavix::platform {

namespace {

// The console's handler is process-wide and runs on a thread the system
// starts for each event; the watch lends it the callback while it lives.
std::mutex handlerMutex;
std::function<void()>* currentRequest = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  std::lock_guard lock(handlerMutex);
  if (currentRequest == nullptr) return FALSE;
  (*currentRequest)();
  return TRUE;
}

class ConsoleWatch final : public ITerminationWatch {
 public:
  explicit ConsoleWatch(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    {
      std::lock_guard lock(handlerMutex);
      currentRequest = &onRequest_;
    }
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
  }
  ~ConsoleWatch() override {
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    std::lock_guard lock(handlerMutex);
    currentRequest = nullptr;
  }
  ConsoleWatch(const ConsoleWatch&) = delete;
  ConsoleWatch& operator=(const ConsoleWatch&) = delete;

 private:
  std::function<void()> onRequest_;
};

}  // namespace

std::unique_ptr<ITerminationWatch> WatchTerminationRequests(std::function<void()> onRequest) {
  return std::make_unique<ConsoleWatch>(std::move(onRequest));
}

}  // namespace pavix::platform
