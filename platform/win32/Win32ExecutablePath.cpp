#include <windows.h>

#include <vector>

#include "ExecutablePath.h"

namespace pavix::platform {

std::string ExecutablePath() {
  std::vector<char> buffer(MAX_PATH);
  while (true) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut short: try a larger buffer
  }
}

}  // namespace pavix::platform
