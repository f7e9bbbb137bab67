#include <gtest/gtest.h>

#include <vector>

#include "QRMatrix.h"
#include "QRSymbolEncoder.h"

namespace pavix::qr {
namespace {

std::int32_t FreeCells(const TModuleMatrix& m) {
  std::int32_t free = 0;
  for (std::int32_t r = 0; r < m.Modules(); ++r) {
    for (std::int32_t c = 0; c < m.Modules(); ++c) free += m.IsFunction(r, c) ? 0 : 1;
  }
  return free;
}

// Every version's function patterns leave exactly the cells its codewords
// and remainder bits need: finders, separators, timing, the alignment
// patterns not on finders, format and (from version 7) version areas.
TEST(FunctionPatterns, LeaveRoomForExactlyTheCodewords) {
  TModuleMatrix m;
  for (std::int32_t version = kMinVersion; version <= kMaxVersion; ++version) {
    const TVersionInfo& info = VersionInfo(version);
    PlaceFunctionPatterns(m, info);
    EXPECT_EQ(FreeCells(m), info.totalCodewords * 8 + info.remainderBits) << "version " << version;
  }
}

TEST(FunctionPatterns, FindersAlignmentAndTiming) {
  TModuleMatrix m;
  PlaceFunctionPatterns(m, VersionInfo(8));
  const std::int32_t n = 49;
  // Finder rings: dark, light, dark core; separator light.
  for (const auto& [row, column] : {std::pair{0, 0}, std::pair{0, n - 7}, std::pair{n - 7, 0}}) {
    EXPECT_TRUE(m.IsDark(row, column));
    EXPECT_FALSE(m.IsDark(row + 1, column + 1));
    EXPECT_TRUE(m.IsDark(row + 3, column + 3));
  }
  EXPECT_FALSE(m.IsDark(7, 7));
  EXPECT_TRUE(m.IsFunction(7, n - 8));
  // Six alignment patterns: the three centres on finders are left out.
  for (const auto& [row, column] : {std::pair{6, 24}, std::pair{24, 6}, std::pair{24, 24}, std::pair{24, 42},
                                    std::pair{42, 24}, std::pair{42, 42}}) {
    EXPECT_TRUE(m.IsDark(row, column) && m.IsFunction(row, column));
    EXPECT_FALSE(m.IsDark(row + 1, column - 1));
    EXPECT_TRUE(m.IsDark(row + 2, column + 2));
  }
  EXPECT_FALSE(m.IsFunction(8, 40)) << "no alignment pattern at (6, 42)";
  EXPECT_FALSE(m.IsFunction(40, 8)) << "no alignment pattern at (42, 6)";
  for (std::int32_t i = 8; i <= n - 9; ++i) {
    EXPECT_EQ(m.IsDark(6, i), i % 2 == 0);
    EXPECT_EQ(m.IsDark(i, 6), i % 2 == 0);
  }
}

TEST(FunctionPatterns, VersionSevenIsTheFirstWithVersionInformation) {
  TModuleMatrix m;
  PlaceFunctionPatterns(m, VersionInfo(6));
  EXPECT_FALSE(m.IsFunction(0, m.Modules() - 11));
  EXPECT_FALSE(m.IsFunction(m.Modules() - 11, 0));
  PlaceFunctionPatterns(m, VersionInfo(7));
  EXPECT_TRUE(m.IsFunction(0, m.Modules() - 11));
  EXPECT_TRUE(m.IsFunction(m.Modules() - 11, 0));
}

TEST(PlaceData, ZigzagFromTheBottomRightCorner) {
  // Where bit k of the sequence lands in a version-1 symbol.
  struct Case {
    std::size_t bit;
    std::int32_t row;
    std::int32_t column;
  };
  const Case cases[] = {
      {0, 20, 20}, {1, 20, 19}, {2, 19, 20}, {23, 9, 19},  // up the first two columns to the format area
      {24, 9, 18}, {25, 9, 17}, {26, 10, 18},              // then down the next two
      {207, 12, 0},                                         // the last cell, above the bottom-left finder
  };
  TModuleMatrix m;
  for (const Case& c : cases) {
    PlaceFunctionPatterns(m, VersionInfo(1));
    std::vector<std::uint8_t> sequence(26, 0);
    sequence[c.bit / 8] = static_cast<std::uint8_t>(0x80 >> (c.bit % 8));
    PlaceData(m, sequence);
    SCOPED_TRACE(c.bit);
    EXPECT_EQ(m.Flags(c.row, c.column) & TModuleMatrix::kData, TModuleMatrix::kData);
    std::int32_t placed = 0;
    for (std::int32_t r = 0; r < 21; ++r) {
      for (std::int32_t col = 0; col < 21; ++col) placed += (m.Flags(r, col) & TModuleMatrix::kData) ? 1 : 0;
    }
    EXPECT_EQ(placed, 1);
  }
}

TEST(PlaceData, VerticalTimingColumnIsSkippedAndRemainderCellsStayEmpty) {
  TModuleMatrix m;
  const TVersionInfo& v2 = VersionInfo(2);
  PlaceFunctionPatterns(m, v2);
  PlaceData(m, std::vector<std::uint8_t>(v2.totalCodewords, 0xFF));
  std::int32_t empty = 0;
  for (std::int32_t r = 0; r < 25; ++r) {
    for (std::int32_t c = 0; c < 25; ++c) {
      if (!m.IsFunction(r, c) && !(m.Flags(r, c) & TModuleMatrix::kData)) ++empty;
    }
  }
  EXPECT_EQ(empty, 7);
}

TEST(FormatBits, StandardCodes) {
  struct Case {
    std::int32_t eclevel;
    std::int32_t mask;
    std::uint32_t bits;
  };
  const Case cases[] = {
      {0, 0, 0b111011111000100}, {0, 7, 0b110100101110110}, {1, 0, 0b101010000010010},
      {1, 5, 0b100000011001110}, {2, 3, 0b011101000000110}, {2, 6, 0b010111011011010},
      {3, 0, 0b001011010001001}, {3, 7, 0b000100000111011},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatBits(c.eclevel, c.mask), c.bits) << c.eclevel << "/" << c.mask;
}

TEST(VersionBits, StandardCodesFromVersionSeven) {
  EXPECT_EQ(VersionBits(7), 0x07C94u);
  EXPECT_EQ(VersionBits(8), 0x085BCu);
  EXPECT_EQ(VersionBits(40), 0x28C69u);
  EXPECT_THROW(VersionBits(6), std::out_of_range);
}

// Reads the two copies of format information and version information back
// out of an encoded symbol.
TEST(Symbol, FormatAndVersionInformationAndTheDarkModule) {
  TQRSymbolEncoder encoder;
  for (std::int32_t version : {1, 6, 7, 8, 21, 40}) {
    for (std::int32_t mask = 0; mask < 8; mask += 3) {
      std::int32_t emodeR = kModeNone;
      ASSERT_TRUE(encoder.Encode("PAVIX", {.version = version, .eclevel = version % 4, .masktype = mask}, {}, emodeR));
      const TModuleMatrix& m = encoder.Matrix();
      const std::int32_t n = m.Modules();
      SCOPED_TRACE(testing::Message() << "version " << version << " mask " << mask);
      EXPECT_TRUE(m.IsDark(n - 8, 8));
      std::uint32_t nearTopLeft = 0;
      std::uint32_t split = 0;
      const std::int32_t rowsA[] = {0, 1, 2, 3, 4, 5, 7, 8};
      for (std::int32_t i = 0; i < 8; ++i) {
        nearTopLeft |= static_cast<std::uint32_t>(m.IsDark(rowsA[i], 8)) << i;
        split |= static_cast<std::uint32_t>(m.IsDark(8, n - 1 - i)) << i;
      }
      const std::int32_t columnsB[] = {7, 5, 4, 3, 2, 1, 0};
      for (std::int32_t i = 0; i < 7; ++i) {
        nearTopLeft |= static_cast<std::uint32_t>(m.IsDark(8, columnsB[i])) << (8 + i);
        split |= static_cast<std::uint32_t>(m.IsDark(n - 7 + i, 8)) << (8 + i);
      }
      EXPECT_EQ(nearTopLeft, FormatBits(version % 4, mask));
      EXPECT_EQ(split, FormatBits(version % 4, mask));
      if (version < 7) continue;
      std::uint32_t bottomLeft = 0;
      std::uint32_t topRight = 0;
      for (std::int32_t i = 0; i < 18; ++i) {
        bottomLeft |= static_cast<std::uint32_t>(m.IsDark(n - 11 + i % 3, i / 3)) << i;
        topRight |= static_cast<std::uint32_t>(m.IsDark(i / 3, n - 11 + i % 3)) << i;
      }
      EXPECT_EQ(bottomLeft, VersionBits(version));
      EXPECT_EQ(topRight, VersionBits(version));
    }
  }
}

}  // namespace
}  // namespace pavix::qr
