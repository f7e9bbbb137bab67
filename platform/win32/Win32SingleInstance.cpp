#include <windows.h>

#include <string>

#include "SingleInstance.h"

namespace pavix::platform {

namespace {

class MutexClaim final : public ISingleInstanceClaim {
 public:
  explicit MutexClaim(HANDLE mutex) : mutex_(mutex) {}
  ~MutexClaim() override {
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
  }
  MutexClaim(const MutexClaim&) = delete;
  MutexClaim& operator=(const MutexClaim&) = delete;

 private:
  HANDLE mutex_;
};

}  // namespace

std::unique_ptr<ISingleInstanceClaim> ClaimSingleInstance(std::string_view name) {
  // Not owned, default security, a local name: one copy per logged-on user.
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, std::string(name).c_str());
  if (mutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return nullptr;
  }
  return std::make_unique<MutexClaim>(mutex);
}

}  // namespace pavix::platform
