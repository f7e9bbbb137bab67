#include "WebSocketEvents.h"

namespace pavix::net {

void TWSEventQueue::Push(std::function<void()> event) {
  std::lock_guard lock(mutex_);
  if (!closed_) events_.push_back(std::move(event));
}

void TWSEventQueue::Deliver() {
  if (ui_.IsUiThread()) {
    Drain();
    return;
  }
  try {
    ui_.Post([queue = shared_from_this()] { queue->Drain(); });
  } catch (const platform::DispatcherClosedError&) {
    // Nobody serves the UI thread any more: the events have no one to reach.
  }
}

void TWSEventQueue::Drain() {
  for (;;) {
    std::function<void()> event;
    {
      std::lock_guard lock(mutex_);
      if (closed_ || events_.empty()) return;
      event = std::move(events_.front());
      events_.pop_front();
      ++running_;
    }
    // Counted down however the handler leaves, so that Close never waits
    // for an event that has ended by raising.
    struct Finished {
      TWSEventQueue& queue;
      ~Finished() {
        std::lock_guard lock(queue.mutex_);
        if (--queue.running_ == 0) queue.idle_.notify_all();
      }
    } finished{*this};
    event();
  }
}

void TWSEventQueue::Close() {
  std::unique_lock lock(mutex_);
  closed_ = true;
  events_.clear();
  if (!ui_.IsUiThread()) idle_.wait(lock, [this] { return running_ == 0; });
}

}  // namespace pavix::net
