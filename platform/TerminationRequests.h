#pragma once

#include <functional>
#include <memory>

// The operating system asking the program to end: Ctrl+C and termination
// signals on POSIX, console close and Ctrl+C events on Windows.
namespace pavix::platform {

class ITerminationWatch {
 public:
  virtual ~ITerminationWatch() = default;
};

// Calls `onRequest` (on a thread of the watch's own) for each request while
// the watch lives; the default reaction (ending the process at once) is off
// meanwhile. POSIX: call it before starting any other thread, so that every
// thread leaves these signals to the watch.
std::unique_ptr<ITerminationWatch> WatchTerminationRequests(std::function<void()> onRequest);

}  // namespace pavix::platform
