#include <unistd.h>

#include "FileOps.h"

namespace pavix::platform {

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  // link() fails with EEXIST instead of replacing, which rename() would do.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace pavix::platform
