#include <windows.h>

#include "FileOps.h"

namespace pavix::platform {

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists; within
  // one volume it is a rename, so a reader never sees a partial file.
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace pavix::platform
