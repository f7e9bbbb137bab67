#include "UiDispatcher.h"

#include <atomic>
#include <exception>
#include <thread>

namespace pavix::platform {

void RunServingUi(IUiDispatcher& ui, const std::function<void()>& blockingWork) {
  if (!ui.IsUiThread()) {
    blockingWork();
    return;
  }
  std::atomic<bool> finished{false};
  std::exception_ptr error;
  std::thread helper([&] {
    try {
      blockingWork();
    } catch (...) {
      error = std::current_exception();
    }
    finished = true;
    try {
      ui.Post([] {});  // wakes ServeUntil to see `finished`
    } catch (const DispatcherClosedError&) {
    }
  });
  // Work served meanwhile may raise; the helper must still be waited for, and
  // the first such error is raised once it has ended.
  std::exception_ptr servedError;
  for (;;) {
    try {
      ui.ServeUntil([&] { return finished.load(); });
      break;
    } catch (...) {
      if (!servedError) servedError = std::current_exception();
    }
  }
  helper.join();
  if (servedError) std::rethrow_exception(servedError);
  if (error) std::rethrow_exception(error);
}

}  // namespace pavix::platform
