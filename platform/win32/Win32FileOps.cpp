#include <windows.h>

#include <cerrno>

#include "FileOps.h"

namespace pavix::platform {

namespace {

// The caller tells why from errno, as it does on POSIX.
int ErrnoFor(DWORD error) {
  switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

bool RenameWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists; within
  // one volume it is a rename, so a reader never sees a partial file.
  if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE) return true;
  errno = ErrnoFor(::GetLastError());
  return false;
}

}  // namespace pavix::platform
