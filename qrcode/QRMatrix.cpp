#include "QRMatrix.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace pavix::qr {

namespace {

// (row, column) pairs; negative values count from the far edge (-1 is n - 1).
using Position = std::pair<std::int8_t, std::int8_t>;

// Format bits 0..14, the copy beside the top-left and bottom-left finders...
constexpr std::array<Position, 15> kFormatA{{{0, 8}, {1, 8}, {2, 8}, {3, 8}, {4, 8}, {5, 8}, {7, 8}, {8, 8},
                                             {-7, 8}, {-6, 8}, {-5, 8}, {-4, 8}, {-3, 8}, {-2, 8}, {-1, 8}}};
// ... and the copy beside the top-right and top-left finders.
constexpr std::array<Position, 15> kFormatB{{{8, -1}, {8, -2}, {8, -3}, {8, -4}, {8, -5}, {8, -6}, {8, -7}, {8, -8},
                                             {8, 7}, {8, 5}, {8, 4}, {8, 3}, {8, 2}, {8, 1}, {8, 0}}};
constexpr Position kDarkModule{-8, 8};

// The standard's BCH(18,6) version information, versions 7..40.
constexpr std::array<std::uint32_t, kMaxVersion - 6> kVersionBits{
    0x07C94, 0x085BC, 0x09A99, 0x0A4D3, 0x0BBF6, 0x0C762, 0x0D847, 0x0E60D, 0x0F928, 0x10B78, 0x1145D, 0x12A17,
    0x13532, 0x149A6, 0x15683, 0x168C9, 0x177EC, 0x18EC4, 0x191E1, 0x1AFAB, 0x1B08E, 0x1CC1A, 0x1D33F, 0x1ED75,
    0x1F250, 0x209D5, 0x216F0, 0x228BA, 0x2379F, 0x24B0B, 0x2542E, 0x26A64, 0x27541, 0x28C69};

constexpr bool VersionBitsAreBchCodes() {
  for (std::uint32_t version = 7; version <= kMaxVersion; ++version) {
    std::uint32_t remainder = version << 12;
    for (int bit = 17; bit >= 12; --bit) {
      if (remainder & (1u << bit)) remainder ^= 0x1F25u << (bit - 12);
    }
    if (kVersionBits[version - 7] != ((version << 12) | remainder)) return false;
  }
  return true;
}
static_assert(VersionBitsAreBchCodes());

std::int32_t Resolve(std::int8_t coordinate, std::int32_t n) { return coordinate < 0 ? n + coordinate : coordinate; }

void SetModule(TModuleMatrix& m, std::int32_t row, std::int32_t column, bool dark) {
  m.SetFlags(row, column, static_cast<std::uint8_t>(TModuleMatrix::kFunction | (dark ? TModuleMatrix::kDark : 0)));
}

// A square pattern of rings: dark outer ring and centre, a light ring between.
void PlaceSquare(TModuleMatrix& m, std::int32_t top, std::int32_t left, std::int32_t size) {
  const std::int32_t centre = size / 2;
  for (std::int32_t r = 0; r < size; ++r) {
    for (std::int32_t c = 0; c < size; ++c) {
      const std::int32_t ring = std::max(std::abs(r - centre), std::abs(c - centre));
      // Finder: rings 3 and 0..1 dark; alignment: rings 2 and 0 dark.
      const bool dark = size == 7 ? ring != 2 : ring != 1;
      SetModule(m, top + r, left + c, dark);
    }
  }
}

}  // namespace

void TModuleMatrix::Clear(std::int32_t modules) {
  if (modules < 21 || modules > kMaxModules) throw std::out_of_range("QR matrix size");
  modules_ = modules;
  cells_.fill(0);
}

void PlaceFunctionPatterns(TModuleMatrix& m, const TVersionInfo& info) {
  const std::int32_t n = info.modules;
  m.Clear(n);
  PlaceSquare(m, 0, 0, 7);
  PlaceSquare(m, 0, n - 7, 7);
  PlaceSquare(m, n - 7, 0, 7);
  for (std::int32_t i = 0; i <= 7; ++i) {
    SetModule(m, 7, i, false);
    SetModule(m, i, 7, false);
    SetModule(m, 7, n - 1 - i, false);
    SetModule(m, i, n - 8, false);
    SetModule(m, n - 8, i, false);
    SetModule(m, n - 1 - i, 7, false);
  }
  // Centres on a finder are skipped: those cells are already taken.
  for (std::int32_t a = 0; a < info.alignmentCount; ++a) {
    for (std::int32_t b = 0; b < info.alignmentCount; ++b) {
      const std::int32_t row = info.alignment[a];
      const std::int32_t column = info.alignment[b];
      if (!m.IsFunction(row, column)) PlaceSquare(m, row - 2, column - 2, 5);
    }
  }
  for (std::int32_t i = 7; i <= n - 9; ++i) {
    SetModule(m, i, 6, i % 2 == 0);
    SetModule(m, 6, i, i % 2 == 0);
  }
  for (std::size_t i = 0; i < kFormatA.size(); ++i) {
    SetModule(m, Resolve(kFormatA[i].first, n), Resolve(kFormatA[i].second, n), false);
    SetModule(m, Resolve(kFormatB[i].first, n), Resolve(kFormatB[i].second, n), false);
  }
  SetModule(m, Resolve(kDarkModule.first, n), Resolve(kDarkModule.second, n), false);
  if (info.version >= 7) {
    for (std::int32_t i = 0; i < 18; ++i) {
      SetModule(m, n - 11 + i % 3, i / 3, false);
      SetModule(m, i / 3, n - 11 + i % 3, false);
    }
  }
}

void PlaceData(TModuleMatrix& m, std::span<const std::uint8_t> sequence) {
  const std::int32_t n = m.Modules();
  std::int32_t x = n - 1;
  std::int32_t y = n - 1;
  std::int32_t dx = -1;
  std::int32_t dy = -1;
  auto advance = [&] {
    do {
      x += dx;
      if (dx > 0) y += dy;
      dx = -dx;
      if (y < 0 || y >= n) {
        y -= dy;
        dy = -dy;
        x -= 2;
        if (x == 6) x = 5;  // the vertical timing pattern is no column of data
      }
    } while (x >= 0 && m.IsFunction(y, x));
  };
  // The cursor moves on only while bits remain: after the last cell of the
  // symbol it would leave the matrix.
  bool first = true;
  for (const std::uint8_t codeword : sequence) {
    for (int bit = 7; bit >= 0; --bit) {
      if (!first) advance();
      first = false;
      if (x < 0) throw std::logic_error("QR codewords exceed the symbol");
      if ((codeword >> bit) & 1) m.SetFlags(y, x, m.Flags(y, x) | TModuleMatrix::kData);
    }
  }
}

std::uint32_t FormatBits(std::int32_t eclevel, std::int32_t mask) {
  const auto data = static_cast<std::uint32_t>(((eclevel ^ 1) << 3) | mask);
  std::uint32_t remainder = data << 10;
  for (int bit = 14; bit >= 10; --bit) {
    if (remainder & (1u << bit)) remainder ^= 0x537u << (bit - 10);
  }
  return ((data << 10) | remainder) ^ 0x5412;
}

std::uint32_t VersionBits(std::int32_t version) {
  if (version < 7 || version > kMaxVersion) throw std::out_of_range("QR version without version information");
  return kVersionBits[static_cast<std::size_t>(version - 7)];
}

void PlaceFormatAndVersion(TModuleMatrix& m, const TVersionInfo& info, std::int32_t eclevel, std::int32_t mask) {
  const std::int32_t n = info.modules;
  const std::uint32_t format = FormatBits(eclevel, mask);
  for (std::size_t i = 0; i < kFormatA.size(); ++i) {
    const bool dark = (format >> i) & 1;
    SetModule(m, Resolve(kFormatA[i].first, n), Resolve(kFormatA[i].second, n), dark);
    SetModule(m, Resolve(kFormatB[i].first, n), Resolve(kFormatB[i].second, n), dark);
  }
  SetModule(m, Resolve(kDarkModule.first, n), Resolve(kDarkModule.second, n), true);
  if (info.version < 7) return;
  const std::uint32_t version = VersionBits(info.version);
  for (std::int32_t i = 0; i < 18; ++i) {
    const bool dark = (version >> i) & 1;
    SetModule(m, n - 11 + i % 3, i / 3, dark);
    SetModule(m, i / 3, n - 11 + i % 3, dark);
  }
}

}  // namespace pavix::qr
