#include <thread>
#include <utility>

#include "SmallStackThread.h"

namespace pavix::platform {

// Windows reserves a thread's stack and commits it page by page, so the
// default size costs nothing at the start of a thread: a standard thread it is.
struct SmallStackThread::Handle {
  std::thread thread;
};

SmallStackThread::SmallStackThread() noexcept = default;

SmallStackThread::SmallStackThread(std::function<void()> body)
    : handle_(std::make_unique<Handle>(Handle{std::thread(std::move(body))})) {}

SmallStackThread::~SmallStackThread() {
  if (Joinable()) Join();
}

SmallStackThread::SmallStackThread(SmallStackThread&& other) noexcept = default;

SmallStackThread& SmallStackThread::operator=(SmallStackThread&& other) noexcept {
  if (this != &other) {
    if (Joinable()) Join();
    handle_ = std::move(other.handle_);
  }
  return *this;
}

bool SmallStackThread::Joinable() const noexcept { return handle_ != nullptr; }

void SmallStackThread::Join() {
  if (!handle_) return;
  handle_->thread.join();
  handle_.reset();
}

}  // namespace pavix::platform
