#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "UiDispatcher.h"

namespace pavix::net {

// The events of one WebSocket client on their way to the UI thread. One
// queue in the order raised keeps the order of every kind, and puts each
// message before the disconnection that followed it. Raised on the UI thread
// an event is delivered before the raising call returns, also from inside a
// handler; each event is taken off the queue once, so a nested delivery never
// hands out the event being handled.
class TWSEventQueue : public std::enable_shared_from_this<TWSEventQueue> {
 public:
  explicit TWSEventQueue(platform::IUiDispatcher& ui) : ui_(ui) {}

  // Queues an event without delivering it: callers that hold a lock push
  // under it and Deliver after letting go, since delivery may run handlers.
  void Push(std::function<void()> event);
  // Delivers what is queued: at once on the UI thread, else by a request
  // posted to it.
  void Deliver();
  // No event runs after this returns; one already running on the UI thread
  // is waited for (unless this is the UI thread, inside a handler).
  void Close();

 private:
  void Drain();

  platform::IUiDispatcher& ui_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> events_;
  int running_ = 0;
  bool closed_ = false;
};

}  // namespace pavix::net
