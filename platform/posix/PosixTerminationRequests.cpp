#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "TerminationRequests.h"

namespace pavix::platform {

namespace {

// SIGINT and SIGTERM are blocked in every thread and taken by one thread in
// sigwait; SIGUSR2, sent to that thread alone, ends the wait when the watch
// is destroyed.
constexpr int kWakeSignal = SIGUSR2;

sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, kWakeSignal);
  return set;
}

class SignalWatch final : public ITerminationWatch {
 public:
  explicit SignalWatch(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    const sigset_t set = WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
    thread_ = std::thread([this] { Run(); });
  }

  ~SignalWatch() override {
    stopping_ = true;
    pthread_kill(thread_.native_handle(), kWakeSignal);
    thread_.join();
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
  }

  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

 private:
  void Run() {
    const sigset_t set = WatchedSignals();
    while (true) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0) continue;
      if (stopping_) return;
      if (signal != kWakeSignal) onRequest_();
    }
  }

  std::function<void()> onRequest_;
  std::atomic<bool> stopping_{false};
  sigset_t previousMask_{};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<ITerminationWatch> WatchTerminationRequests(std::function<void()> onRequest) {
  return std::make_unique<SignalWatch>(std::move(onRequest));
}

}  // namespace pavix::platform
