#include "Checksums.h"

#include <algorithm>
#include <array>

namespace pavix {

namespace {

constexpr std::array<std::uint32_t, 256> BuildCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kCrcTable = BuildCrcTable();

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes, std::uint32_t previous) {
  std::uint32_t c = previous ^ 0xFFFFFFFFu;
  for (const std::uint8_t byte : bytes) c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes, std::uint32_t previous) {
  constexpr std::uint32_t kModulus = 65521;
  std::uint32_t a = previous & 0xFFFF;
  std::uint32_t b = previous >> 16;
  // 5552 bytes is the most that can be summed before the 32-bit sums overflow.
  for (std::size_t start = 0; start < bytes.size(); start += 5552) {
    const std::size_t end = std::min(bytes.size(), start + 5552);
    for (std::size_t i = start; i < end; ++i) {
      a += bytes[i];
      b += a;
    }
    a %= kModulus;
    b %= kModulus;
  }
  return (b << 16) | a;
}

}  // namespace pavix
