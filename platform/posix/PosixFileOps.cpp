#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "FileOps.h"

namespace pavix::platform {

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef RENAME_NOREPLACE
  // One change to the folder instead of two (link, then unlink): the folder
  // is shared by every thread that files a document.
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;  // EINVAL: the file system cannot
#endif
  // link() fails with EEXIST instead of replacing, which rename() would do.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace pavix::platform
