#include "QRPieces.h"

#include <algorithm>
#include <climits>
#include <string>

#include "CodePage.h"
#include "Exception.h"
#include "QRSegments.h"

namespace pavix::qr {

namespace {

// Walks the data character by character of the system code page, so that a
// trail byte that happens to look like a lead byte is not taken for one.
// Positions asked about never decrease.
class CharacterScanner {
 public:
  explicit CharacterScanner(std::string_view data) : data_(data) {}

  bool IsSecondByte(std::size_t position) {
    while (true) {
      const std::size_t width = Width(start_);
      if (start_ + width > position) return position != start_;
      start_ += width;
    }
  }

 private:
  std::size_t Width(std::size_t at) const {
    return at + 1 < data_.size() && platform::IsSystemLeadByte(static_cast<unsigned char>(data_[at])) ? 2 : 1;
  }

  std::string_view data_;
  std::size_t start_ = 0;  // start of a character at or before every position still to be asked
};

[[noreturn]] void Illegal(const std::string& item, std::int64_t value) {
  throw Exception("Illegal " + item + " : " + std::to_string(value));
}

}  // namespace

void SplitData(std::string_view data, TPieceLayout& layout) {
  // 64-bit arithmetic: CheckParameters reports a buffer too large for the
  // 32-bit length; the split itself must not overflow on it.
  const auto len = static_cast<std::int64_t>(std::min<std::size_t>(data.size(), INT32_MAX));
  const std::int64_t count = std::clamp<std::int64_t>(std::min<std::int64_t>(layout.count, len), 1, kMaxSymbols);
  std::int64_t size = len / count;
  if (size * count < len && (size + 1) * (count - 1) < len) ++size;

  CharacterScanner scanner(data);
  auto& offset = layout.offset;
  offset[0] = 0;
  std::int32_t i = 1;
  std::int64_t c = size;
  while (i < count && c < len) {
    if (IsKanjiTrail(static_cast<unsigned char>(data[c])) && scanner.IsSecondByte(static_cast<std::size_t>(c))) {
      if (c - 1 > offset[i - 1]) {
        --c;
      } else if (c + 1 >= len) {
        break;
      } else {
        ++c;
      }
    }
    offset[i] = static_cast<std::int32_t>(c);
    ++i;
    c += size;
  }
  offset[i] = static_cast<std::int32_t>(len);
  layout.count = i;

  if (layout.count == 1) {
    layout.mode = TQRMode::qrSingle;
  } else if (layout.count > 16) {
    layout.mode = TQRMode::qrPlus;
  } else if (layout.mode == TQRMode::qrSingle) {
    layout.mode = TQRMode::qrConnect;
  }
}

std::optional<std::uint8_t> CheckParameters(std::string_view data, const TPieceLayout& layout, std::int32_t column) {
  if (data.size() > INT32_MAX) Illegal("Len", static_cast<std::int64_t>(data.size()));
  const auto len = static_cast<std::int32_t>(data.size());
  const std::int32_t count = layout.count;
  const auto mode = static_cast<std::int32_t>(layout.mode);
  const auto& offset = layout.offset;
  if (count < 1 || count > kMaxSymbols) Illegal("Count", count);
  if (mode < 0 || mode > 2) Illegal("Mode", mode);
  if (column < 1 || column > kMaxSymbols) Illegal("Column", column);
  auto illegalOffset = [&](std::int32_t index) { Illegal("Offset[" + std::to_string(index) + "]", offset[index]); };
  if (len == 0) {
    if (count != 1) Illegal("Count", count);
    if (layout.mode != TQRMode::qrSingle) Illegal("Mode", mode);
    if (offset[0] != 0) illegalOffset(0);
    if (offset[1] != 0) illegalOffset(1);
  } else {
    if (count > len) Illegal("Count", count);
    const bool countFitsMode = (layout.mode == TQRMode::qrSingle && count == 1) ||
                               (layout.mode == TQRMode::qrConnect && count >= 2 && count <= 16) ||
                               (layout.mode == TQRMode::qrPlus && count >= 2);
    if (!countFitsMode) Illegal("Count", count);
    if (offset[0] != 0) illegalOffset(0);
    if (offset[count] != len) illegalOffset(count);
    for (std::int32_t i = 1; i <= count; ++i) {
      if (offset[i] <= offset[i - 1]) illegalOffset(i);
    }
  }
  if (layout.mode != TQRMode::qrConnect || len / count > kMaxPieceBytes) return std::nullopt;
  std::uint8_t parity = 0;
  for (const char byte : data) parity ^= static_cast<std::uint8_t>(byte);
  return parity;
}

}  // namespace pavix::qr
