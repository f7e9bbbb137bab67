#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "QRTypes.h"
#include "QRVersionTable.h"

// The module matrix of one symbol and the steps that lay it out: function
// patterns, codeword placement, format and version information.
namespace pavix::qr {

class TModuleMatrix {
 public:
  static constexpr std::uint8_t kData = 1;      // the codeword bit placed here, before masking
  static constexpr std::uint8_t kDark = 2;      // the final colour
  static constexpr std::uint8_t kFunction = 4;  // a pattern or reserved cell: never masked, never data

  // Every cell light and free; the symbol is `modules` × `modules`.
  void Clear(std::int32_t modules);
  std::int32_t Modules() const { return modules_; }

  std::uint8_t Flags(std::int32_t row, std::int32_t column) const { return cells_[Index(row, column)]; }
  void SetFlags(std::int32_t row, std::int32_t column, std::uint8_t flags) { cells_[Index(row, column)] = flags; }
  bool IsDark(std::int32_t row, std::int32_t column) const { return (Flags(row, column) & kDark) != 0; }
  bool IsFunction(std::int32_t row, std::int32_t column) const { return (Flags(row, column) & kFunction) != 0; }

 private:
  static std::size_t Index(std::int32_t row, std::int32_t column) {
    return static_cast<std::size_t>(row) * kMaxModules + static_cast<std::size_t>(column);
  }

  std::int32_t modules_ = 0;
  std::array<std::uint8_t, kMaxModules * kMaxModules> cells_{};
};

// Clears the matrix to the version's size, then lays out finder, separator,
// alignment and timing patterns and reserves the format (and, from version
// 7, version) information cells.
void PlaceFunctionPatterns(TModuleMatrix& matrix, const TVersionInfo& info);

// The codeword bits in the two-column zigzag from the bottom-right corner.
void PlaceData(TModuleMatrix& matrix, std::span<const std::uint8_t> sequence);

// The 15-bit format information of a level (0..3 = L, M, Q, H) and mask.
std::uint32_t FormatBits(std::int32_t eclevel, std::int32_t mask);

// The 18-bit version information of versions 7..40.
std::uint32_t VersionBits(std::int32_t version);

// Writes format information, the dark module and version information.
void PlaceFormatAndVersion(TModuleMatrix& matrix, const TVersionInfo& info, std::int32_t eclevel, std::int32_t mask);

}  // namespace pavix::qr
