#include "EventLoopDispatcher.h"

#include <exception>
#include <utility>

namespace pavix::platform {

EventLoopDispatcher::EventLoopDispatcher() : uiThread_(std::this_thread::get_id()) {}

EventLoopDispatcher::~EventLoopDispatcher() {
  std::deque<std::function<void()>> dropped;
  std::unique_lock lock(mutex_);
  closed_ = true;
  dropped.swap(queue_);
  finished_.notify_all();
  finished_.wait(lock, [this] { return waiting_ == 0; });
}

bool EventLoopDispatcher::IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

void EventLoopDispatcher::RunAndWait(std::function<void()> work) {
  if (IsUiThread()) {
    work();
    return;
  }
  // The request lives on this caller's stack, which outlasts its queued
  // wrapper: the wrapper either runs before we return or is dropped unrun.
  bool done = false;
  std::exception_ptr error;
  auto wrapper = [this, &work, &done, &error] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    done = true;
    finished_.notify_all();
  };
  {
    std::unique_lock lock(mutex_);
    if (closed_) throw DispatcherClosedError();
    queue_.emplace_back(std::move(wrapper));
    queued_.notify_one();
    ++waiting_;
    finished_.wait(lock, [&] { return done || closed_; });
    --waiting_;
    if (!done) {
      finished_.notify_all();  // the destructor may be waiting for us to leave
      throw DispatcherClosedError();
    }
  }
  if (error) std::rethrow_exception(error);
}

void EventLoopDispatcher::Post(std::function<void()> work) {
  std::lock_guard lock(mutex_);
  if (closed_) throw DispatcherClosedError();
  queue_.emplace_back(std::move(work));
  queued_.notify_one();
}

bool EventLoopDispatcher::ProcessPending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(queue_);
  }
  // Work queued while the batch runs waits for the next call, so a piece of
  // work that queues more cannot keep this call going for ever.
  for (auto& work : batch) work();
  return !batch.empty();
}

std::function<void()> EventLoopDispatcher::NextWork(const std::function<bool()>& done) {
  std::unique_lock lock(mutex_);
  while (queue_.empty()) {
    lock.unlock();
    if (done()) return nullptr;
    lock.lock();
    if (!queue_.empty()) break;
    queued_.wait(lock);
  }
  auto work = std::move(queue_.front());
  queue_.pop_front();
  return work;
}

void EventLoopDispatcher::ServeUntil(const std::function<bool()>& done) {
  while (!done()) {
    auto work = NextWork(done);
    if (!work) return;
    work();
  }
}

}  // namespace pavix::platform
