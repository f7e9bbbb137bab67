#include "WebSocketRandom.h"

#include <mutex>
#include <random>

namespace pavix::net {

std::string RandomBytes(std::size_t count) {
  // std::random_device reads the system's cryptographic source on the
  // compilers we build with (getrandom on Linux, rand_s with MinGW-w64).
  static std::mutex mutex;
  static std::random_device device;
  std::string bytes(count, '\0');
  std::lock_guard lock(mutex);
  for (std::size_t i = 0; i < count; i += 4) {
    const unsigned value = device();
    for (std::size_t j = 0; j < 4 && i + j < count; ++j) bytes[i + j] = static_cast<char>((value >> (8 * j)) & 0xFF);
  }
  return bytes;
}

}  // namespace pavix::net
