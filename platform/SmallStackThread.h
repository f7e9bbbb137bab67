#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace pavix::platform {

// A thread with a stack sized for short, shallow work, such as serving
// connections, instead of the system's default of several megabytes: a
// server with a thread for every open connection then holds a fraction of
// the memory. Joined when destroyed, never detached.
class SmallStackThread {
 public:
  SmallStackThread() noexcept;
  // Starts `body` at once; raises std::system_error when no thread can be had.
  explicit SmallStackThread(std::function<void()> body);
  ~SmallStackThread();  // joins
  SmallStackThread(SmallStackThread&& other) noexcept;
  SmallStackThread& operator=(SmallStackThread&& other) noexcept;  // joins the thread it held

  bool Joinable() const noexcept;
  void Join();

  // Room for the handler of a request, the request reader's buffers and the
  // deepest JSON the reader takes, with a wide margin.
  static constexpr std::size_t kStackBytes = 512 * 1024;

 private:
  struct Handle;
  std::unique_ptr<Handle> handle_;
};

}  // namespace pavix::platform
