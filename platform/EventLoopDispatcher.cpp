#include "EventLoopDispatcher.h"

#include <exception>
#include <utility>

namespace pavix::platform {

struct EventLoopDispatcher::Waiter {
  explicit Waiter(std::function<void()>& w) : work(w) {}
  std::function<void()>& work;
  std::exception_ptr error;
  bool done = false;  // under mutex_
  std::condition_variable wake;
};

EventLoopDispatcher::EventLoopDispatcher() : uiThread_(std::this_thread::get_id()) {}

EventLoopDispatcher::~EventLoopDispatcher() {
  std::deque<Entry> dropped;
  std::unique_lock lock(mutex_);
  closed_ = true;
  dropped.swap(queue_);
  for (Entry& entry : dropped) {
    if (entry.waiter != nullptr) entry.waiter->wake.notify_one();
  }
  left_.wait(lock, [this] { return waiting_ == 0; });
}

bool EventLoopDispatcher::IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

void EventLoopDispatcher::RunAndWait(std::function<void()> work) {
  if (IsUiThread()) {
    work();
    return;
  }
  // The waiter lives on this caller's stack, which outlasts its queue entry:
  // the entry either runs before we return or is dropped unrun.
  Waiter waiter(work);
  {
    std::unique_lock lock(mutex_);
    if (closed_) throw DispatcherClosedError();
    queue_.push_back(Entry{{}, &waiter});
    queued_.notify_one();
    ++waiting_;
    waiter.wake.wait(lock, [&] { return waiter.done || closed_; });
    // The destructor may be waiting for the last caller to leave, also for
    // one whose work ran just before the dispatcher closed.
    if (--waiting_ == 0 && closed_) left_.notify_one();
    if (!waiter.done) throw DispatcherClosedError();
  }
  if (waiter.error) std::rethrow_exception(waiter.error);
}

void EventLoopDispatcher::Post(std::function<void()> work) {
  std::lock_guard lock(mutex_);
  if (closed_) throw DispatcherClosedError();
  queue_.push_back(Entry{std::move(work), nullptr});
  queued_.notify_one();
}

void EventLoopDispatcher::Run(Entry& entry) {
  if (entry.waiter == nullptr) {
    entry.work();
    return;
  }
  Waiter& waiter = *entry.waiter;
  try {
    waiter.work();
  } catch (...) {
    waiter.error = std::current_exception();
  }
  // Woken under the lock: the caller cannot see `done`, return and take its
  // condition variable with it before the notification is through.
  std::lock_guard lock(mutex_);
  waiter.done = true;
  waiter.wake.notify_one();
}

bool EventLoopDispatcher::ProcessPending() {
  std::deque<Entry> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(queue_);
  }
  // Work queued while the batch runs waits for the next call, so a piece of
  // work that queues more cannot keep this call going for ever.
  const bool ranAny = !batch.empty();
  while (!batch.empty()) {
    Entry entry = std::move(batch.front());
    batch.pop_front();
    try {
      Run(entry);
    } catch (...) {
      // Posted work failed: what the batch still holds goes back to the front
      // of the queue, so no caller waits for work that was thrown away.
      std::lock_guard lock(mutex_);
      while (!batch.empty()) {
        queue_.push_front(std::move(batch.back()));
        batch.pop_back();
      }
      throw;
    }
  }
  return ranAny;
}

bool EventLoopDispatcher::NextEntry(const std::function<bool()>& done, Entry& entry) {
  std::unique_lock lock(mutex_);
  while (queue_.empty()) {
    lock.unlock();
    if (done()) return false;
    lock.lock();
    if (!queue_.empty()) break;
    queued_.wait(lock);
  }
  entry = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void EventLoopDispatcher::ServeUntil(const std::function<bool()>& done) {
  Entry entry;
  while (!done()) {
    if (!NextEntry(done, entry)) return;
    Run(entry);
    entry.work = nullptr;
  }
}

}  // namespace pavix::platform
