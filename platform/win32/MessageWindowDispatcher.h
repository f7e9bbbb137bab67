#pragma once

#include <memory>

#include "UiDispatcher.h"

namespace pavix::platform {

// The UI queue of a Windows program: work is posted as a message to a hidden
// message-only window of the UI thread (the thread that creates this
// object), so it runs wherever that thread pumps its messages, in a modal
// dialog as well as in the main loop. A caller on another thread waits on an
// event until its work has run.
class MessageWindowDispatcher final : public IUiDispatcher {
 public:
  MessageWindowDispatcher();
  // Work still queued is dropped; callers still waiting get
  // DispatcherClosedError, and the destructor returns once they have left.
  ~MessageWindowDispatcher() override;
  MessageWindowDispatcher(const MessageWindowDispatcher&) = delete;
  MessageWindowDispatcher& operator=(const MessageWindowDispatcher&) = delete;

  bool IsUiThread() const override;
  void RunAndWait(std::function<void()> work) override;
  void Post(std::function<void()> work) override;
  bool ProcessPending() override;
  void ServeUntil(const std::function<bool()>& done) override;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace pavix::platform
