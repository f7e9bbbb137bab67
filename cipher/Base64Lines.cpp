// The text form of the pairing code: Base64 broken into 76-character lines.
#include "DESUtils.h"

namespace pavix {

namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kLineLength = 76;

}  // namespace

std::string EncodeBase64Lines(std::string_view bytes) {
  std::string text;
  const std::size_t groups = (bytes.size() + 2) / 3;
  text.reserve(groups * 4 + groups * 4 / kLineLength * 2);
  int column = 0;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t left = bytes.size() - i;
    std::uint32_t triple = static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (left > 1) triple |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (left > 2) triple |= static_cast<unsigned char>(bytes[i + 2]);
    text.push_back(kAlphabet[(triple >> 18) & 0x3F]);
    text.push_back(kAlphabet[(triple >> 12) & 0x3F]);
    text.push_back(left > 1 ? kAlphabet[(triple >> 6) & 0x3F] : '=');
    text.push_back(left > 2 ? kAlphabet[triple & 0x3F] : '=');
    // Every full line ends in CR LF, the last one too: the app has always
    // been given this exact text.
    column += 4;
    if (column >= kLineLength) {
      text += "\r\n";
      column = 0;
    }
  }
  return text;
}

}  // namespace pavix
