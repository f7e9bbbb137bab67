#include "EventLoopDispatcher.h"

#include <exception>
#include <utility>

namespace pavix::platform {

struct EventLoopDispatcher::Waiter {
  enum class State { Queued, Ran, Dropped };

  explicit Waiter(std::function<void()>& w) : work(w) {}

  // Notified under the waiter's lock: the caller cannot see the new state,
  // return and take the waiter with it before the notification is through.
  void Finish(State end) {
    std::lock_guard lock(mutex);
    state = end;
    wake.notify_one();
  }

  std::function<void()>& work;
  std::exception_ptr error;  // written before Finish, read after it
  std::mutex mutex;
  std::condition_variable wake;
  State state = State::Queued;  // under mutex
};

EventLoopDispatcher::EventLoopDispatcher() : uiThread_(std::this_thread::get_id()) {}

EventLoopDispatcher::~EventLoopDispatcher() {
  std::deque<Entry> dropped;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
  }
  // A dropped caller touches nothing of the dispatcher once woken.
  for (Entry& entry : dropped) {
    if (entry.waiter != nullptr) entry.waiter->Finish(Waiter::State::Dropped);
  }
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
    std::lock_guard lock(mutex_);
    if (closed_) throw DispatcherClosedError();
    queue_.push_back(Entry{{}, &waiter});
    queued_.notify_one();
  }
  {
    std::unique_lock lock(waiter.mutex);
    waiter.wake.wait(lock, [&] { return waiter.state != Waiter::State::Queued; });
  }
  if (waiter.state == Waiter::State::Dropped) throw DispatcherClosedError();
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
  waiter.Finish(Waiter::State::Ran);
}

void EventLoopDispatcher::RunBatch(std::deque<Entry>& batch, const std::function<bool()>* done) {
  const auto putBack = [&] {
    std::lock_guard lock(mutex_);
    while (!batch.empty()) {
      queue_.push_front(std::move(batch.back()));
      batch.pop_back();
    }
  };
  while (!batch.empty()) {
    if (done != nullptr && (*done)()) {
      putBack();
      return;
    }
    Entry entry = std::move(batch.front());
    batch.pop_front();
    try {
      Run(entry);
    } catch (...) {
      // No caller may wait for work that was thrown away.
      putBack();
      throw;
    }
  }
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
  RunBatch(batch, nullptr);
  return ranAny;
}

void EventLoopDispatcher::ServeUntil(const std::function<bool()>& done) {
  std::deque<Entry> batch;
  while (!done()) {
    {
      // One lock for everything queued since the last look: under load the
      // queue holds several callers at once.
      std::unique_lock lock(mutex_);
      if (queue_.empty()) {
        lock.unlock();
        if (done()) return;
        lock.lock();
        if (queue_.empty()) queued_.wait(lock);
      }
      batch.swap(queue_);
    }
    RunBatch(batch, &done);
  }
}

}  // namespace pavix::platform
