#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "SingleInstance.h"

namespace pavix::platform {

namespace {

class LockFileClaim final : public ISingleInstanceClaim {
 public:
  explicit LockFileClaim(int fd) : fd_(fd) {}
  ~LockFileClaim() override {
    if (fd_ >= 0) ::close(fd_);
  }
  LockFileClaim(const LockFileClaim&) = delete;
  LockFileClaim& operator=(const LockFileClaim&) = delete;

 private:
  int fd_;
};

std::string LockFilePath(std::string_view name) {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  const std::string folder = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
  // The user's id in the name: /tmp is shared by every user, and each may run one copy.
  return folder + "/" + std::string(name) + "-" + std::to_string(::getuid()) + ".lock";
}

}  // namespace

std::unique_ptr<ISingleInstanceClaim> ClaimSingleInstance(std::string_view name) {
  const int fd = ::open(LockFilePath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A folder we cannot write to must not keep the shop's only copy from
  // starting: without a lock file we cannot tell, so we run.
  if (fd < 0) return std::make_unique<LockFileClaim>(-1);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<LockFileClaim>(fd);
}

}  // namespace pavix::platform
