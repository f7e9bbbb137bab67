#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "MachineIdentity.h"

namespace pavix::platform {

std::string NewRegistryGuidText() {
  std::array<unsigned char, 16> b{};
  std::size_t filled = 0;
  while (filled < b.size()) {
    const ssize_t n = ::getrandom(b.data() + filled, b.size() - filled, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the system's random source failed");
    filled += static_cast<std::size_t>(n);
  }
  b[6] = static_cast<unsigned char>((b[6] & 0x0F) | 0x40);  // version 4: random
  b[8] = static_cast<unsigned char>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0],
                b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

}  // namespace pavix::platform
