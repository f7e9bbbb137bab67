#include <unistd.h>

#include <array>

#include "ExecutablePath.h"

namespace pavix::platform {

std::string ExecutablePath() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return "";
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace pavix::platform
