#include "QRBitStream.h"

#include <algorithm>

#include "QRSegments.h"
#include "QRVersionTable.h"

namespace pavix::qr {

namespace {

class BitWriter {
 public:
  BitWriter(TDataCodewords& codewords, std::int32_t dataCodewords) : codewords_(codewords), limit_(dataCodewords) {
    codewords_.fill(0);
  }

  // Bits still free in the level's data codewords.
  std::int32_t FreeBits() const { return (limit_ - byte_) * 8 + bit_ - 7; }

  // The low `count` bits of `value`, most significant first. Callers check
  // FreeBits before writing a segment.
  void Put(std::int32_t count, std::uint32_t value) {
    for (std::int32_t i = count - 1; i >= 0; --i) {
      if ((value >> i) & 1) codewords_[byte_] |= static_cast<std::uint8_t>(1u << bit_);
      if (--bit_ < 0) {
        bit_ = 7;
        ++byte_;
      }
    }
  }

 private:
  TDataCodewords& codewords_;
  std::int32_t limit_;
  std::int32_t byte_ = 0;
  std::int32_t bit_ = 7;
};

bool IsDigit(unsigned char byte) { return byte >= '0' && byte <= '9'; }

bool PutNumeric(BitWriter& out, std::string_view digits) {
  for (std::size_t i = 0; i < digits.size(); i += 3) {
    const std::size_t group = std::min<std::size_t>(3, digits.size() - i);
    std::uint32_t value = 0;
    for (std::size_t j = i; j < i + group; ++j) {
      const auto byte = static_cast<unsigned char>(digits[j]);
      if (!IsDigit(byte)) return false;
      value = value * 10 + (byte - '0');
    }
    out.Put(group == 3 ? 10 : group == 2 ? 7 : 4, value);
  }
  return true;
}

bool PutAlphanumeric(BitWriter& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const std::int32_t first = AlphanumericValue(static_cast<unsigned char>(text[i]));
    if (first < 0) return false;
    if (i + 1 == text.size()) {
      out.Put(6, static_cast<std::uint32_t>(first));
      break;
    }
    const std::int32_t second = AlphanumericValue(static_cast<unsigned char>(text[i + 1]));
    if (second < 0) return false;
    out.Put(11, static_cast<std::uint32_t>(45 * first + second));
  }
  return true;
}

bool PutKanji(BitWriter& out, std::string_view pairs) {
  if (pairs.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < pairs.size(); i += 2) {
    const auto lead = static_cast<unsigned char>(pairs[i]);
    const std::int32_t value = KanjiValue(lead, static_cast<unsigned char>(pairs[i + 1]));
    if (value < 0) return false;
    out.Put(13, static_cast<std::uint32_t>(value));
  }
  return true;
}

// One segment: mode indicator, count, data. False when it does not fit or a
// character does not belong to the mode.
bool PutSegment(BitWriter& out, std::int32_t mode, std::string_view text, std::int32_t version) {
  const auto length = static_cast<std::int32_t>(text.size());
  if (SegmentBits(mode, length, version) > out.FreeBits()) return false;
  out.Put(4, 1u << mode);
  out.Put(VersionInfo(version).countWidth[mode], static_cast<std::uint32_t>(mode == kModeKanji ? length / 2 : length));
  switch (mode) {
    case kModeNumeric:
      return PutNumeric(out, text);
    case kModeAlphanumeric:
      return PutAlphanumeric(out, text);
    case kModeByte:
      for (const char byte : text) out.Put(8, static_cast<unsigned char>(byte));
      return true;
    default:
      return PutKanji(out, text);
  }
}

}  // namespace

bool EncodePiece(std::string_view piece, const TEncodeSettings& settings, const TSymbolPosition& position,
                 TDataCodewords& codewords, std::int32_t& emodeR) {
  if (piece.size() > static_cast<std::size_t>(kMaxPieceBytes)) return false;
  const TVersionInfo& info = VersionInfo(settings.version);
  BitWriter out(codewords, info.levels.at(static_cast<std::size_t>(settings.eclevel)).dataCodewords);

  if (position.mode == TQRMode::qrConnect) {
    out.Put(4, 0b0011);
    out.Put(4, static_cast<std::uint32_t>(position.index - 1));
    out.Put(4, static_cast<std::uint32_t>(position.count - 1));
    out.Put(8, position.parity & 0xFF);
  }

  if (settings.emode == kModeNone) {
    std::int32_t lastMode = kModeNone;
    for (std::size_t at = 0; at < piece.size();) {
      const TSegment segment = NextSegment(piece.substr(at), settings.usejis, settings.version);
      if (!PutSegment(out, segment.mode, piece.substr(at, segment.length), settings.version)) return false;
      at += segment.length;
      lastMode = segment.mode;
    }
    emodeR = lastMode;
  } else if (!PutSegment(out, settings.emode, piece, settings.version)) {
    return false;
  }

  out.Put(std::min(4, out.FreeBits()), 0);
  out.Put(out.FreeBits() % 8, 0);
  for (std::uint32_t pad = 0xEC; out.FreeBits() >= 8; pad ^= 0xEC ^ 0x11) out.Put(8, pad);  // 0xEC, 0x11, 0xEC, ...
  return true;
}

std::int32_t Capacity(std::int32_t version, std::int32_t eclevel, std::int32_t emodeR, std::int32_t count) {
  const TEcLevelInfo& level = VersionInfo(version).levels.at(static_cast<std::size_t>(eclevel));
  return level.capacity.at(static_cast<std::size_t>(emodeR == kModeNone ? kModeAlphanumeric : emodeR)) * count;
}

}  // namespace pavix::qr
