#include "QRCodeText.h"

namespace pavix::qr {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes a text cannot carry as typed characters: controls other than tab,
// LF and CR, and 0xA1 upwards.
bool InBinarySet(unsigned char byte) {
  return byte <= 0x08 || byte == 0x0B || byte == 0x0C || (byte >= 0x0E && byte <= 0x1F) || byte >= 0xA1;
}

}  // namespace

TDecodedCode DecodeCode(std::string_view code, bool binaryOperation) {
  TDecodedCode decoded;
  if (!binaryOperation) {
    decoded.data = code;
    return decoded;
  }
  std::size_t position = 0;
  while (true) {
    const std::size_t open = code.find('~', position);
    if (open == std::string_view::npos) {
      decoded.data.append(code.substr(position));
      return decoded;
    }
    const std::size_t close = code.find('~', open + 1);
    const std::size_t digits = close == std::string_view::npos ? 1 : close - open - 1;
    if (digits % 2 != 0) break;
    decoded.data.append(code.substr(position, open - position));
    if (digits == 0) decoded.data.push_back('~');
    for (std::size_t i = open + 1; i < close; i += 2) {
      const int high = HexValue(code[i]);
      const int low = HexValue(code[i + 1]);
      if (high < 0 || low < 0) return TDecodedCode{std::string(code), false, false};
      const auto byte = static_cast<unsigned char>(high << 4 | low);
      decoded.binary = decoded.binary || InBinarySet(byte);
      decoded.data.push_back(static_cast<char>(byte));
    }
    position = close + 1;
  }
  return TDecodedCode{std::string(code), false, false};
}

}  // namespace pavix::qr
