#include <pthread.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "SmallStackThread.h"

namespace pavix::platform {

namespace {

// Instrumented builds use many times the stack of a plain build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t kStackScale = 8;
#else
constexpr std::size_t kStackScale = 1;
#endif

void* RunBody(void* raw) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(raw));
  (*body)();
  return nullptr;
}

}  // namespace

struct SmallStackThread::Handle {
  pthread_t id{};
};

SmallStackThread::SmallStackThread() noexcept = default;

SmallStackThread::SmallStackThread(std::function<void()> body) {
  pthread_attr_t attributes;
  if (const int error = pthread_attr_init(&attributes); error != 0) {
    throw std::system_error(error, std::generic_category(), "pthread_attr_init");
  }
  pthread_attr_setstacksize(&attributes, kStackBytes * kStackScale);
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  auto handle = std::make_unique<Handle>();
  const int error = pthread_create(&handle->id, &attributes, RunBody, owned.get());
  pthread_attr_destroy(&attributes);
  if (error != 0) throw std::system_error(error, std::generic_category(), "pthread_create");
  owned.release();  // the thread owns its body now and frees it when it ends
  handle_ = std::move(handle);
}

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
  pthread_join(handle_->id, nullptr);
  handle_.reset();
}

}  // namespace pavix::platform
