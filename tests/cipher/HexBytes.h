#pragma once

#include <string>
#include <string_view>

namespace pavix::test {

// "0123abcd" <-> the bytes it spells; blanks between digits are skipped.
inline std::string FromHex(std::string_view hex) {
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  std::string bytes;
  int high = -1;
  for (const char c : hex) {
    if (c == ' ') continue;
    if (high < 0) {
      high = nibble(c);
    } else {
      bytes.push_back(static_cast<char>(high << 4 | nibble(c)));
      high = -1;
    }
  }
  return bytes;
}

inline std::string ToHex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 0xF]);
  }
  return hex;
}

}  // namespace pavix::test
