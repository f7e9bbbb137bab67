#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "EventLoopDispatcher.h"

namespace pavix::test {

// Serves the UI queue on this thread until `done` or until `limit` has
// passed (then a wake-up ends the wait); true when `done`.
inline bool ServeUntil(platform::EventLoopDispatcher& ui, const std::function<bool()>& done,
                       std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::mutex mutex;
  std::condition_variable wake;
  bool finished = false;
  std::thread waker([&] {
    std::unique_lock lock(mutex);
    if (!wake.wait_until(lock, deadline, [&] { return finished; })) ui.Post([] {});
  });
  struct Join {
    std::mutex& mutex;
    std::condition_variable& wake;
    bool& finished;
    std::thread& waker;
    ~Join() {
      {
        std::lock_guard lock(mutex);
        finished = true;
      }
      wake.notify_all();
      waker.join();
    }
  } join{mutex, wake, finished, waker};
  ui.ServeUntil([&] { return done() || std::chrono::steady_clock::now() >= deadline; });
  return done();
}

}  // namespace pavix::test
