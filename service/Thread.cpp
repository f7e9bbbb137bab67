#include "Thread.h"

namespace pavix {

TThread::~TThread() { TerminateAndWait(); }

void TThread::Terminate() {
  // Under the sleep lock, so that a sleeper between its check and its wait
  // cannot miss the request.
  std::lock_guard lock(sleepMutex_);
  stop_.request_stop();
  sleeping_.notify_all();
}

bool TThread::SleepUnlessTerminated(std::chrono::milliseconds interval) {
  std::unique_lock lock(sleepMutex_);
  return !sleeping_.wait_for(lock, interval, [this] { return stop_.stop_requested(); });
}

void TThread::TerminateAndWait() {
  Terminate();
  if (thread_.joinable()) thread_.join();
}

void TThread::Start() {
  thread_ = std::thread([this] { Execute(); });
}

}  // namespace pavix
