#include "RegistryFileCache.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>

namespace pavix::platform {

namespace {

// Longer than the coarsest timestamps of a file system settings may live on.
constexpr std::chrono::seconds kTimestampGranularity{2};

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

std::chrono::system_clock::time_point TimeOf(const timespec& t) {
  return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
      std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec)));
}

bool Missing(int error) { return error == ENOENT || error == ENOTDIR; }

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The file's text and the stamp of what was read; false when it exists and
// cannot be read. A missing file gives no text and a zero stamp.
bool ReadWithStamp(const std::string& path, std::string& text, struct stat& stamp) {
  text.clear();
  stamp = {};
  const Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return Missing(errno);
  if (::fstat(file.get(), &stamp) != 0) return false;
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

}  // namespace

std::shared_ptr<const RegistryFile> ReadRegistryFile(const std::string& path) {
  std::string text;
  struct stat stamp;
  if (!ReadWithStamp(path, text, stamp)) return nullptr;
  return std::make_shared<const RegistryFile>(ParseRegistryFile(text));
}

std::shared_ptr<const RegistryFile> RegistryFileCache::Load(const std::string& path) {
  struct stat now;
  if (::stat(path.c_str(), &now) != 0) {
    if (Missing(errno)) return std::make_shared<const RegistryFile>();
    return nullptr;
  }
  {
    std::lock_guard lock(mutex_);
    if (file_ && path_ == path && SameFile(stamp_, now)) return file_;
  }
  const auto readAt = std::chrono::system_clock::now();
  std::string text;
  struct stat stamp;
  if (!ReadWithStamp(path, text, stamp)) return nullptr;
  auto file = std::make_shared<const RegistryFile>(ParseRegistryFile(text));
  const auto changedAt = std::max(TimeOf(stamp.st_mtim), TimeOf(stamp.st_ctim));
  std::lock_guard lock(mutex_);
  path_ = path;
  stamp_ = stamp;
  file_ = stamp.st_ino != 0 && changedAt + kTimestampGranularity < readAt ? file : nullptr;
  return file;
}

}  // namespace pavix::platform
