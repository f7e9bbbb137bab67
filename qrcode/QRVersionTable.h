#pragma once

#include <array>
#include <cstdint>

#include "QRTypes.h"

// Sizes, capacities and block structure of the 40 versions at the four error
// correction levels, as the standard tabulates them.
namespace pavix::qr {

struct TBlockKind {
  std::int32_t blocks = 0;
  std::int32_t totalCodewords = 0;  // per block
  std::int32_t dataCodewords = 0;   // per block
  std::int32_t correctableErrors = 0;
};

struct TEcLevelInfo {
  std::int32_t dataCodewords = 0;
  std::array<std::int32_t, 4> capacity{};  // characters, by encoding mode (numeric, alphanumeric, byte, kanji)
  std::int32_t blockKinds = 0;             // 1 or 2; the second kind has one more data codeword
  std::array<TBlockKind, 2> kinds{};
};

struct TVersionInfo {
  std::int32_t version = 0;
  std::int32_t modules = 0;  // per side
  std::int32_t totalCodewords = 0;
  std::int32_t remainderBits = 0;
  std::array<std::int32_t, 4> countWidth{};  // character-count field, by encoding mode
  std::array<TEcLevelInfo, 4> levels{};      // L, M, Q, H
  std::int32_t alignmentCount = 0;
  std::array<std::int32_t, 7> alignment{};  // alignment pattern row/column coordinates
};

// `version` must be 1..40 (std::out_of_range otherwise).
const TVersionInfo& VersionInfo(std::int32_t version);

}  // namespace pavix::qr
