#include "HttpParams.h"

#include <optional>

#include "CodePage.h"
#include "HttpText.h"

namespace pavix::net {

namespace {

std::optional<unsigned> HexValue(std::string_view digits) {
  unsigned value = 0;
  for (char c : digits) {
    value <<= 4;
    if (c >= '0' && c <= '9') {
      value |= static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      value |= static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      value |= static_cast<unsigned>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
  }
  return value;
}

bool IsUtf8(std::string_view charset) {
  const std::string lower = LowerCase(Trim(charset));
  return lower == "utf-8" || lower == "utf8";
}

// Bytes read so far, flushed into UTF-16 whenever a %u unit interrupts them.
class PieceDecoder {
 public:
  explicit PieceDecoder(bool utf8) : utf8_(utf8) {}
  void AddByte(unsigned char byte) { bytes_ += static_cast<char>(byte); }
  void AddUnit(char16_t unit) {
    Flush();
    text_ += unit;
  }
  std::u16string Finish() {
    Flush();
    return std::move(text_);
  }

 private:
  void Flush() {
    if (utf8_) {
      text_ += platform::Utf8ToUtf16(bytes_);
    } else {
      for (char c : bytes_) text_ += static_cast<char16_t>(static_cast<unsigned char>(c));
    }
    bytes_.clear();
  }
  bool utf8_;
  std::string bytes_;
  std::u16string text_;
};

std::u16string DecodePiece(std::string_view piece, bool plusIsSpace, bool utf8) {
  PieceDecoder decoder(utf8);
  std::size_t i = 0;
  while (i < piece.size()) {
    const char c = piece[i];
    if (c == '+' && plusIsSpace) {
      decoder.AddByte(' ');
      ++i;
    } else if (c != '%') {
      decoder.AddByte(static_cast<unsigned char>(c));
      ++i;
    } else if (i + 1 < piece.size() && (piece[i + 1] == 'u' || piece[i + 1] == 'U')) {
      const std::string_view digits = piece.substr(i + 2, 4);
      if (auto unit = HexValue(digits); unit && digits.size() == 4) decoder.AddUnit(static_cast<char16_t>(*unit));
      i += 2 + digits.size();
    } else {
      const std::string_view digits = piece.substr(i + 1, 2);
      if (auto byte = HexValue(digits); byte && digits.size() == 2) decoder.AddByte(static_cast<unsigned char>(*byte));
      i += 1 + digits.size();
    }
  }
  return decoder.Finish();
}

}  // namespace

NameValueList DecodeParams(std::string_view text, std::string_view charset) {
  NameValueList params;
  const bool utf8 = IsUtf8(charset);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find('&', start);
    const std::string_view piece = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    params.AddLine(platform::Utf16ToSystem(DecodePiece(piece, true, utf8)));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return params;
}

std::string DecodePath(std::string_view path) { return platform::Utf16ToSystem(DecodePiece(path, false, true)); }

}  // namespace pavix::net
