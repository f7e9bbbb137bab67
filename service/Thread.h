#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <utility>

namespace pavix {

// A thread object: it owns one thread that runs Execute. The thread starts
// only once the whole object is built, which is why objects are made with
// MakeStarted; destroying the object terminates Execute and waits for it.
class TThread {
 public:
  virtual ~TThread();
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Asks Execute to end; Execute polls Terminated and wakes from
  // SleepUnlessTerminated at once.
  void Terminate();
  bool Terminated() const { return stop_.stop_requested(); }

 protected:
  TThread() = default;

  virtual void Execute() = 0;

  // Sleeps `interval`, or less when Terminate is called meanwhile. True when
  // the whole interval passed.
  bool SleepUnlessTerminated(std::chrono::milliseconds interval);

  // Terminates Execute and waits for it. A subclass whose Execute uses the
  // subclass's own members calls this first in its destructor, before those
  // members die; calling it again does nothing.
  void TerminateAndWait();

 private:
  template <class T, class... Args>
  friend std::unique_ptr<T> MakeStarted(Args&&... args);
  void Start();

  std::stop_source stop_;
  std::mutex sleepMutex_;
  std::condition_variable_any sleeping_;
  std::thread thread_;
};

// Builds a thread object and then starts its thread.
template <class T, class... Args>
std::unique_ptr<T> MakeStarted(Args&&... args) {
  auto object = std::make_unique<T>(std::forward<Args>(args)...);
  object->Start();
  return object;
}

}  // namespace pavix
