#include "Base64.h"

#include <array>
#include <cstdint>

namespace pavix {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
  std::array<std::int8_t, 256> table{};
  table.fill(-1);
  for (std::size_t i = 0; i < kAlphabet.size(); ++i) table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return table;
}
constexpr auto kDecodeTable = MakeDecodeTable();

std::uint32_t ByteAt(std::string_view bytes, std::size_t i) {
  return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    const std::uint32_t triple = ByteAt(bytes, i) << 16 | ByteAt(bytes, i + 1) << 8 | ByteAt(bytes, i + 2);
    text.push_back(kAlphabet[(triple >> 18) & 0x3F]);
    text.push_back(kAlphabet[(triple >> 12) & 0x3F]);
    text.push_back(left > 1 ? kAlphabet[(triple >> 6) & 0x3F] : '=');
    text.push_back(left > 2 ? kAlphabet[triple & 0x3F] : '=');
  }
  return text;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    // "=" only at the end of the last group: "xx==" or "xxx=".
    const int padding = !last ? 0 : text[i + 3] != '=' ? 0 : text[i + 2] != '=' ? 1 : 2;
    std::uint32_t quad = 0;
    for (int j = 0; j < 4; ++j) {
      const int value = j < 4 - padding ? kDecodeTable[static_cast<unsigned char>(text[i + j])] : 0;
      if (value < 0) return std::nullopt;
      quad = quad << 6 | static_cast<std::uint32_t>(value);
    }
    bytes.push_back(static_cast<char>(quad >> 16));
    if (padding < 2) bytes.push_back(static_cast<char>(quad >> 8 & 0xFF));
    if (padding < 1) bytes.push_back(static_cast<char>(quad & 0xFF));
  }
  return bytes;
}

}  // namespace pavix
