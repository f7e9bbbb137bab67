#pragma once

#include <sys/stat.h>

#include <memory>
#include <mutex>
#include <string>

#include "RegistryFileFormat.h"

namespace pavix::platform {

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
  std::shared_ptr<const RegistryFile> Load(const std::string& path);

 private:
  std::mutex mutex_;
  std::string path_;
  struct stat stamp_ {};
  std::shared_ptr<const RegistryFile> file_;  // reusable while the stamp matches
};

}  // namespace pavix::platform
