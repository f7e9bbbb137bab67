#pragma once

#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <string>

#include "RegistryFileFormat.h"

namespace pavix::platform {

// What one stat of a path found.
struct PathState {
  bool exists = false;
  bool missing = false;  // neither it nor, perhaps, its folder is there
  struct stat info {};
};
PathState StatPath(const std::string& path);

// The settings file as it is now: an empty hive when there is none, nullptr
// when it exists and cannot be read. Read and parsed afresh.
std::shared_ptr<const RegistryFile> ReadRegistryFile(const std::string& path);

// The same, parsed once and then given again for as long as the file is
// certainly unchanged: the settings are read for every print job, and a stat
// costs far less than a read and a parse. Any change replaces the file's
// inode (our writers) or moves its change time (the kernel's, which no
// program can set back), so a file with the same inode, size and times is
// the file that was parsed. A file changed shortly before it was parsed is
// the exception: a second change within the timestamps' granularity might
// leave the times as they were, so such a parse is never reused.
class RegistryFileCache {
 public:
  std::shared_ptr<const RegistryFile> Load(const std::string& path) { return Load(path, StatPath(path)); }
  // With what a stat of `path` has just found.
  std::shared_ptr<const RegistryFile> Load(const std::string& path, const PathState& now);

 private:
  std::mutex mutex_;
  std::string path_;
  struct stat stamp_ {};
  std::shared_ptr<const RegistryFile> file_;  // reusable while the stamp matches
};

// Whether this process may replace the settings file: write and search
// rights on its folder, and write rights on the file when there is one.
// Asking access() takes three path walks, and the settings are opened for
// every print job, so the answer is kept while the folder and the file are
// certainly unchanged: a change of mode, owner or ACL moves the change time,
// and a new folder or file has a new inode. The racy rule of the file cache
// applies.
class WriteRightsCache {
 public:
  bool Writable(const std::string& folder, const std::string& file, const PathState& fileNow);

 private:
  std::mutex mutex_;
  std::string folderPath_;
  std::string filePath_;
  struct stat folderStamp_ {};
  PathState fileStamp_;
  bool known_ = false;
  bool writable_ = false;
};

}  // namespace pavix::platform
