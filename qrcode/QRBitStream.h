#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "QRTypes.h"

// The data codewords of one symbol: structured-append header, segments,
// terminator and pad codewords, in the fixed version and level.
namespace pavix::qr {

struct TEncodeSettings {
  std::int32_t version = 1;                 // 1..40, never changed to fit the data
  std::int32_t eclevel = 0;                 // 0..3: L, M, Q, H
  std::int32_t emode = kModeNone;           // kModeNone: automatic; else one segment in that mode
  std::int32_t masktype = kMaskAutomatic;   // read by the matrix steps only
  bool usejis = false;                      // let automatic analysis use numeric, alphanumeric and kanji modes
};

// Where the symbol stands among the pieces; only qrConnect writes a header.
struct TSymbolPosition {
  TQRMode mode = TQRMode::qrSingle;
  std::int32_t index = 1;  // 1-based
  std::int32_t count = 1;
  std::uint32_t parity = 0;  // low 8 bits used
};

using TDataCodewords = std::array<std::uint8_t, kMaxDataCodewords>;

// Fills the level's data codewords for `piece`. False when the piece does not
// fit or has a character the fixed mode cannot carry. In automatic mode
// `emodeR` becomes the mode of the last segment (kModeNone for an empty
// piece); it is left alone on failure and in fixed mode.
bool EncodePiece(std::string_view piece, const TEncodeSettings& settings, const TSymbolPosition& position,
                 TDataCodewords& codewords, std::int32_t& emodeR);

// Characters of `emodeR` (alphanumeric for kModeNone) that `count` symbols
// hold at this version and level.
std::int32_t Capacity(std::int32_t version, std::int32_t eclevel, std::int32_t emodeR, std::int32_t count);

}  // namespace pavix::qr
