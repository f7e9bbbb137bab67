#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "UiDispatcher.h"

namespace pavix::net {

// What one client lets wait for the UI thread: a server that sends faster
// than a busy UI thread takes must not grow memory without end.
struct TWSQueueLimit {
  std::size_t Messages = 4096;
  std::size_t Bytes = 64 * 1024 * 1024;
};

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
  // Queues a received message of `bytes` unless the queue holds `limit`
  // already; false then, and the caller ends the connection rather than lose
  // the message unseen. A message always fits an empty queue.
  bool PushMessage(std::function<void()> event, std::size_t bytes, const TWSQueueLimit& limit);
  // Delivers what is queued: at once on the UI thread, else by a request
  // posted to it.
  void Deliver();
  // No event runs after this returns; one already running on the UI thread
  // is waited for (unless this is the UI thread, inside a handler).
  void Close();

 private:
  struct Event {
    std::function<void()> run;
    std::size_t bytes = 0;
    bool message = false;
  };
  void Drain();

  platform::IUiDispatcher& ui_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::deque<Event> events_;
  std::size_t messages_ = 0;      // received messages in events_
  std::size_t messageBytes_ = 0;  // and their bytes
  // A drain request waits in the UI queue: one is enough, however many
  // events come meanwhile.
  bool drainPosted_ = false;
  int running_ = 0;
  bool closed_ = false;
};

}  // namespace pavix::net
