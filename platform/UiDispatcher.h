#pragma once

#include <functional>

#include "Exception.h"

// Work handed to the UI thread. The UI thread owns the windows and the log;
// other threads reach it only through this queue. A desktop shell plugs its
// toolkit's message loop in behind the same interface.
namespace pavix::platform {

class IUiDispatcher {
 public:
  virtual ~IUiDispatcher() = default;

  // True on the thread that serves the queue.
  virtual bool IsUiThread() const = 0;

  // Runs `work` on the UI thread and returns when it has run: at once when
  // called there, else queued and waited for. An error raised by `work` is
  // raised again here.
  virtual void RunAndWait(std::function<void()> work) = 0;

  // Queues `work` and returns at once. An error raised by `work` surfaces on
  // the UI thread, in whatever is serving the queue.
  virtual void Post(std::function<void()> work) = 0;

  // UI thread only: runs the work queued so far (what the log callback does
  // to keep the window alive). True when anything ran.
  virtual bool ProcessPending() = 0;

  // UI thread only: serves the queue, sleeping while it is empty, until
  // `done` is true. `done` is checked before sleeping and after each piece of
  // work, so whoever makes it true must Post (even an empty function) to
  // wake the loop.
  virtual void ServeUntil(const std::function<bool()>& done) = 0;
};

// The dispatcher's UI thread is gone: queued work can no longer run.
class DispatcherClosedError : public Exception {
 public:
  DispatcherClosedError() : Exception("The UI thread no longer serves its queue") {}
};

// On the UI thread, runs `blockingWork` on a helper thread and keeps serving
// the queue until it has finished, so that threads which `blockingWork` waits
// for may themselves wait for the UI thread meanwhile. Elsewhere it simply
// runs `blockingWork`. An error it raises is raised again here.
void RunServingUi(IUiDispatcher& ui, const std::function<void()>& blockingWork);

}  // namespace pavix::platform
