#include "RegistryFileCache.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <ctime>

namespace pavix::platform {

namespace {

// Longer than the coarsest timestamps of a file system settings may live on.
constexpr std::chrono::seconds kTimestampGranularity{2};

using Clock = std::chrono::system_clock;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && SameTime(a.st_mtim, b.st_mtim) &&
         SameTime(a.st_ctim, b.st_ctim);
}

bool SameRights(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mode == b.st_mode && a.st_uid == b.st_uid &&
         a.st_gid == b.st_gid && SameTime(a.st_ctim, b.st_ctim);
}

Clock::time_point TimeOf(const timespec& t) {
  return Clock::time_point(std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(t.tv_sec) +
                                                                       std::chrono::nanoseconds(t.tv_nsec)));
}

// Last changed long enough before `seen` that a later change cannot leave
// the times as they were.
bool SettledBefore(const struct stat& stamp, Clock::time_point seen) {
  return stamp.st_ino != 0 && std::max(TimeOf(stamp.st_mtim), TimeOf(stamp.st_ctim)) + kTimestampGranularity < seen;
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

PathState StatPath(const std::string& path) {
  PathState state;
  state.exists = ::stat(path.c_str(), &state.info) == 0;
  state.missing = !state.exists && Missing(errno);
  return state;
}

std::shared_ptr<const RegistryFile> ReadRegistryFile(const std::string& path) {
  std::string text;
  struct stat stamp;
  if (!ReadWithStamp(path, text, stamp)) return nullptr;
  return std::make_shared<const RegistryFile>(ParseRegistryFile(text));
}

std::shared_ptr<const RegistryFile> RegistryFileCache::Load(const std::string& path, const PathState& now) {
  if (!now.exists) return now.missing ? std::make_shared<const RegistryFile>() : nullptr;
  {
    std::lock_guard lock(mutex_);
    if (file_ && path_ == path && SameFile(stamp_, now.info)) return file_;
  }
  const auto readAt = Clock::now();
  std::string text;
  struct stat stamp;
  if (!ReadWithStamp(path, text, stamp)) return nullptr;
  auto file = std::make_shared<const RegistryFile>(ParseRegistryFile(text));
  std::lock_guard lock(mutex_);
  path_ = path;
  stamp_ = stamp;
  file_ = SettledBefore(stamp, readAt) ? file : nullptr;
  return file;
}

bool WriteRightsCache::Writable(const std::string& folder, const std::string& file, const PathState& fileNow) {
  const PathState folderNow = StatPath(folder);
  if (!folderNow.exists) return false;
  // A file that cannot even be looked at is asked about every time.
  const bool fileKnown = fileNow.exists || fileNow.missing;
  if (fileKnown) {
    std::lock_guard lock(mutex_);
    if (known_ && folderPath_ == folder && filePath_ == file && SameRights(folderStamp_, folderNow.info) &&
        fileStamp_.exists == fileNow.exists && (!fileNow.exists || SameRights(fileStamp_.info, fileNow.info))) {
      return writable_;
    }
  }
  const auto checkedAt = Clock::now();
  const bool writable = ::access(folder.c_str(), W_OK | X_OK) == 0 &&
                        (!fileNow.exists || ::access(file.c_str(), W_OK) == 0);
  std::lock_guard lock(mutex_);
  folderPath_ = folder;
  filePath_ = file;
  folderStamp_ = folderNow.info;
  fileStamp_ = fileNow;
  writable_ = writable;
  known_ = fileKnown && SettledBefore(folderNow.info, checkedAt) &&
           (!fileNow.exists || SettledBefore(fileNow.info, checkedAt));
  return writable;
}

}  // namespace pavix::platform
