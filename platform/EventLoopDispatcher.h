#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "UiDispatcher.h"

namespace pavix::platform {

// A plain event loop for programs without a window toolkit (the headless
// server, the tests): its UI thread is the thread that created it and serves
// the queue in ServeUntil or ProcessPending.
class EventLoopDispatcher final : public IUiDispatcher {
 public:
  EventLoopDispatcher();
  // Work still queued is dropped; callers still waiting in RunAndWait get
  // DispatcherClosedError.
  ~EventLoopDispatcher() override;
  EventLoopDispatcher(const EventLoopDispatcher&) = delete;
  EventLoopDispatcher& operator=(const EventLoopDispatcher&) = delete;

  bool IsUiThread() const override;
  void RunAndWait(std::function<void()> work) override;
  void Post(std::function<void()> work) override;
  bool ProcessPending() override;
  void ServeUntil(const std::function<bool()>& done) override;

 private:
  // A RunAndWait caller, on its own stack, with its own lock: it is woken
  // alone when its work has run, and never again contends for the queue.
  struct Waiter;
  // Posted work, or a waiting caller whose work runs in its place.
  struct Entry {
    std::function<void()> work;
    Waiter* waiter = nullptr;
  };

  // Runs the batch in order; what is left when `done` turns true or a piece
  // of posted work raises goes back to the front of the queue.
  void RunBatch(std::deque<Entry>& batch, const std::function<bool()>* done);
  static void Run(Entry& entry);

  const std::thread::id uiThread_;
  std::mutex mutex_;
  std::condition_variable queued_;  // the UI thread waits for work
  std::deque<Entry> queue_;
  bool closed_ = false;
};

}  // namespace pavix::platform
