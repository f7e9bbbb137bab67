#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "QRTypes.h"

// Data analysis: the class of each character and the automatic division of a
// piece into segments of one encoding mode each.
namespace pavix::qr {

// The encoding mode that suits the character at `position` of `piece`:
// kModeNone past the end; kModeByte for everything when `usejis` is off.
// A kanji character (class kModeKanji) covers two bytes.
std::int32_t ClassifyChar(std::string_view piece, std::size_t position, bool usejis);

// Bits one segment of `count` characters takes at `version`: mode indicator,
// character count and data. Kanji count in bytes.
std::int32_t SegmentBits(std::int32_t mode, std::int32_t count, std::int32_t version);

struct TSegment {
  std::size_t length = 0;  // bytes; 0 when nothing is left
  std::int32_t mode = kModeNone;
};

// The next segment at the start of `rest`, chosen to keep the bit stream short.
TSegment NextSegment(std::string_view rest, bool usejis, std::int32_t version);

// The 13-bit kanji value of a Shift-JIS pair, or -1 when the pair is not in
// the kanji ranges (leads 0x81-0x9F and 0xE0-0xEB, trails 0x40-0x7E and
// 0x80-0xFC) or its value needs more than 13 bits.
std::int32_t KanjiValue(unsigned char lead, unsigned char trail);

// The second-byte range of a Shift-JIS pair: 0x40-0x7E and 0x80-0xFC.
bool IsKanjiTrail(unsigned char byte);

// The alphanumeric value 0..44, or -1.
std::int32_t AlphanumericValue(unsigned char byte);

}  // namespace pavix::qr
