#pragma once

#include <string>
#include <string_view>

namespace pavix::platform {

// Replaces the file at `path` with `content` so that a reader or a crash sees
// the old file or the new one, never a mix: a temporary file in the same
// folder, fsync, rename, fsync of the folder. False on any failure, with the
// old file left as it was.
bool WriteFileAtomically(const std::string& path, std::string_view content, unsigned mode);

// An exclusive advisory lock (flock) on `path`, created when missing; held
// until destruction. Serialises writers across threads and processes.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace pavix::platform
