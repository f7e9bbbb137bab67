#include "WebSocketEvents.h"

namespace pavix::net {

void TWSEventQueue::Push(std::function<void()> event) {
  std::lock_guard lock(mutex_);
  if (!closed_) events_.push_back(Event{std::move(event)});
}

bool TWSEventQueue::PushMessage(std::function<void()> event, std::size_t bytes, const TWSQueueLimit& limit) {
  std::lock_guard lock(mutex_);
  if (closed_) return true;  // nobody takes it anyway
  if (messages_ > 0 && (messages_ >= limit.Messages || messageBytes_ + bytes > limit.Bytes)) return false;
  events_.push_back(Event{std::move(event), bytes, true});
  ++messages_;
  messageBytes_ += bytes;
  return true;
}

void TWSEventQueue::Deliver() {
  if (ui_.IsUiThread()) {
    Drain();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    if (drainPosted_) return;
    drainPosted_ = true;
  }
  try {
    ui_.Post([queue = shared_from_this()] {
      {
        std::lock_guard lock(queue->mutex_);
        queue->drainPosted_ = false;
      }
      queue->Drain();
    });
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
      Event& front = events_.front();
      if (front.message) {
        --messages_;
        messageBytes_ -= front.bytes;
      }
      event = std::move(front.run);
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
  messages_ = 0;
  messageBytes_ = 0;
  if (!ui_.IsUiThread()) idle_.wait(lock, [this] { return running_ == 0; });
}

}  // namespace pavix::net
