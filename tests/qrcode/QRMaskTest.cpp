#include <gtest/gtest.h>

#include <string>

#include "QRMask.h"
#include "QRSymbolEncoder.h"

namespace pavix::qr {
namespace {

constexpr std::int32_t kSide = 21;

// A 21 × 21 fixture with no function cells: '1' dark, '0' light per cell.
TModuleMatrix Uniform(bool dark) {
  TModuleMatrix m;
  m.Clear(kSide);
  for (std::int32_t r = 0; r < kSide; ++r) {
    for (std::int32_t c = 0; c < kSide; ++c) m.SetFlags(r, c, dark ? TModuleMatrix::kDark : 0);
  }
  return m;
}

TModuleMatrix Checkerboard() {
  TModuleMatrix m = Uniform(false);
  for (std::int32_t r = 0; r < kSide; ++r) {
    for (std::int32_t c = 0; c < kSide; ++c) m.SetFlags(r, c, (r + c) % 2 == 0 ? TModuleMatrix::kDark : 0);
  }
  return m;
}

// Line 10, as a row or as a column, replaced by `cells`.
void SetLine(TModuleMatrix& m, const std::string& cells, bool column) {
  for (std::int32_t k = 0; k < kSide; ++k) {
    const std::uint8_t flags = cells[static_cast<std::size_t>(k)] == '1' ? TModuleMatrix::kDark : 0;
    if (column) {
      m.SetFlags(k, 10, flags);
    } else {
      m.SetFlags(10, k, flags);
    }
  }
}

TEST(ApplyMask, ConditionsInvertOnlyFreeCells) {
  struct Case {
    std::int32_t mask;
    std::int32_t row;
    std::int32_t column;
    bool inverted;
  };
  const Case cases[] = {
      {0, 0, 0, true},  {0, 1, 2, false}, {1, 2, 5, true},  {1, 3, 0, false}, {2, 5, 3, true},
      {2, 3, 5, false}, {3, 1, 2, true},  {3, 2, 2, false}, {4, 2, 3, true},  {4, 1, 3, false},
      {5, 2, 3, true},  {5, 1, 1, false}, {6, 1, 2, true},  {6, 1, 5, false}, {7, 2, 4, true},
      {7, 2, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mask " << c.mask << " at " << c.row << "," << c.column);
    TModuleMatrix m = Uniform(false);
    m.SetFlags(0, 20, TModuleMatrix::kData);                            // data 1: dark unless inverted
    m.SetFlags(20, 20, TModuleMatrix::kFunction);                       // never touched
    ApplyMask(m, c.mask);
    EXPECT_EQ(m.IsDark(c.row, c.column), c.inverted);
    EXPECT_FALSE(m.IsDark(20, 20));
    EXPECT_EQ(m.Flags(0, 20) & TModuleMatrix::kData, TModuleMatrix::kData);
  }
  TModuleMatrix m = Uniform(false);
  m.SetFlags(0, 1, TModuleMatrix::kData);
  ApplyMask(m, 0);  // (0 + 1) mod 2 is 1: not inverted, so the data bit shows
  EXPECT_TRUE(m.IsDark(0, 1));
}

TEST(MaskPenalty, RunsOfFiveOrMore) {
  // A checkerboard has no runs; one line replaced scores only its own runs.
  struct Case {
    const char* line;
    std::int32_t penalty;
  };
  const Case cases[] = {
      {"101010101010101010101", 0},  {"111110101010101010101", 3},  {"111111010101010101010", 4},
      {"000001111101010101010", 6},  {"101011111111111111111", 15}, {"000000000000000000000", 19},
  };
  for (const bool column : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(column ? "column " : "row ") + c.line);
      TModuleMatrix m = Checkerboard();
      SetLine(m, c.line, column);
      EXPECT_EQ(PenaltyRuns(m), c.penalty);
    }
  }
}

TEST(MaskPenalty, OnlyTheExactSevenCellFinderPattern) {
  // One line on an all-light matrix: no column can match crosswise.
  struct Case {
    const char* what;
    const char* line;
    std::int32_t matches;
  };
  const Case cases[] = {
      {"at the start, light after", "101110100000000000000", 1},
      {"at the end", "000000000000001011101", 1},
      {"dark before", "110111010000000000000", 0},
      {"dark after", "101110110000000000000", 0},
      {"light on both sides", "000010111010000000000", 1},
      {"two sharing a module", "101110101110100000000", 2},
      {"twice as wide", "110011111100110000000", 0},
  };
  for (const bool column : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(column ? "column: " : "row: ") + c.what);
      TModuleMatrix m = Uniform(false);
      SetLine(m, c.line, column);
      EXPECT_EQ(PenaltyFinderLike(m), 40 * c.matches);
    }
  }
}

TEST(MaskPenalty, BlocksAndBalance) {
  TModuleMatrix block = Checkerboard();
  for (std::int32_t r = 0; r < 3; ++r) {
    for (std::int32_t c = 0; c < 3; ++c) block.SetFlags(r, c, TModuleMatrix::kDark);
  }
  EXPECT_EQ(PenaltyBlocks(block), 4 * 3);
  EXPECT_EQ(PenaltyBlocks(Checkerboard()), 0);

  // The dark share is cut to a whole per cent before it is compared.
  struct Case {
    std::int32_t dark;
    std::int32_t penalty;
  };
  for (const Case c : {Case{0, 100}, Case{197, 10}, Case{199, 10}, Case{221, 0}, Case{242, 0}, Case{243, 10},
                       Case{441, 100}}) {
    TModuleMatrix m = Uniform(false);
    for (std::int32_t i = 0; i < c.dark; ++i) m.SetFlags(i / kSide, i % kSide, TModuleMatrix::kDark);
    EXPECT_EQ(PenaltyBalance(m), c.penalty) << c.dark << " dark cells";
  }
}

TEST(MaskPenalty, SumsTheFourRules) {
  // All light: 42 lines of 21 cells (19 each), 400 blocks, 0 % dark.
  EXPECT_EQ(MaskPenalty(Uniform(false)), 42 * 19 + 400 * 3 + 100);
  EXPECT_EQ(MaskPenalty(Uniform(true)), 42 * 19 + 400 * 3 + 100);
  EXPECT_EQ(MaskPenalty(Checkerboard()), 0);
  // Rows 0..12 dark: rows 21 × 19; columns 21 × (13 dark: 11, 8 light: 6);
  // blocks in 12 + 7 row pairs; 61 % dark.
  TModuleMatrix top = Uniform(false);
  for (std::int32_t i = 0; i < 13 * kSide; ++i) top.SetFlags(i / kSide, i % kSide, TModuleMatrix::kDark);
  EXPECT_EQ(MaskPenalty(top), 21 * 19 + 21 * (11 + 6) + (12 + 7) * 20 * 3 + 20);
}

TEST(ChooseMask, FirstOfTheLowestWins) {
  // All cells are function cells but one: the masks that invert it tie, and
  // so do those that do not. A dark cell breaks runs and blocks, so the
  // inverting masks win, and the lowest-numbered of them is taken.
  struct Case {
    std::int32_t row;
    std::int32_t column;
    std::int32_t winner;  // first mask whose condition holds at the cell
  };
  for (const Case c : {Case{1, 1, 0}, Case{0, 1, 1}, Case{1, 0, 2}, Case{1, 2, 3}, Case{3, 4, 4}, Case{1, 4, 7}}) {
    TModuleMatrix m = Uniform(false);
    for (std::int32_t r = 0; r < kSide; ++r) {
      for (std::int32_t col = 0; col < kSide; ++col) m.SetFlags(r, col, TModuleMatrix::kFunction);
    }
    m.SetFlags(c.row, c.column, 0);
    EXPECT_EQ(ChooseMask(m, kMaskAutomatic), c.winner) << c.row << "," << c.column;
    EXPECT_TRUE(m.IsDark(c.row, c.column));
  }
}

TEST(ChooseMask, AFixedMaskIsUsedAsItIs) {
  TModuleMatrix m = Uniform(false);
  EXPECT_EQ(ChooseMask(m, 5), 5);
  EXPECT_TRUE(m.IsDark(0, 7));    // (0 * 7) mod 2 + (0 * 7) mod 3 = 0
  EXPECT_FALSE(m.IsDark(1, 1));
}

// Scoring happens before format and version information are written; a
// score taken afterwards would choose another mask for each of these
// (found once by scoring both ways). The mask a symbol gets is part of
// what the app has always scanned, so these must not change.
TEST(ChooseMask, ScoredWithoutFormatInformation) {
  struct Case {
    const char* text;
    std::int32_t version;
    std::int32_t eclevel;
    std::int32_t mask;
  };
  const Case cases[] = {
      {"PAVIX0", 1, 0, 3},
      {"PAVIX1", 1, 0, 6},
      {"PAVIX3", 1, 0, 2},
  };
  TQRSymbolEncoder encoder;
  for (const Case& c : cases) {
    std::int32_t emodeR = kModeNone;
    EXPECT_EQ(encoder.Encode(c.text, {.version = c.version, .eclevel = c.eclevel}, {}, emodeR), c.mask) << c.text;
  }
}

}  // namespace
}  // namespace pavix::qr
