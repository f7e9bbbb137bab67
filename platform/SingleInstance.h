#pragma once

#include <memory>
#include <string_view>

// One running copy of the program per logged-on user.
namespace pavix::platform {

// Held for as long as this process is the running copy.
class ISingleInstanceClaim {
 public:
  virtual ~ISingleInstanceClaim() = default;
};

// Claims the name `name` for this process; nullptr when another process of
// the same user holds it already. Windows: a named mutex in the session's
// namespace. POSIX: an advisory lock on a file in XDG_RUNTIME_DIR (or /tmp),
// released by the system when the process ends however it ends.
std::unique_ptr<ISingleInstanceClaim> ClaimSingleInstance(std::string_view name);

}  // namespace pavix::platform
