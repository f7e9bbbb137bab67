#include <gtest/gtest.h>

#include <vector>

#include "CodePage.h"
#include "Exception.h"
#include "QRPieces.h"

namespace pavix::qr {
namespace {

std::vector<std::int32_t> Offsets(const TPieceLayout& layout) {
  return {layout.offset.begin(), layout.offset.begin() + layout.count + 1};
}

TPieceLayout Split(std::string_view data, std::int32_t count, TQRMode mode = TQRMode::qrSingle) {
  TPieceLayout layout;
  layout.count = count;
  layout.mode = mode;
  SplitData(data, layout);
  return layout;
}

TEST(SplitData, EqualPiecesAndTheModeThatSuitsThem) {
  struct Case {
    std::size_t length;
    std::int32_t count;
    TQRMode requested;
    std::vector<std::int32_t> offsets;
    TQRMode mode;
  };
  const Case cases[] = {
      {0, 1, TQRMode::qrSingle, {0, 0}, TQRMode::qrSingle},
      {0, 5, TQRMode::qrConnect, {0, 0}, TQRMode::qrSingle},
      {1, 2, TQRMode::qrConnect, {0, 1}, TQRMode::qrSingle},
      {3, 5, TQRMode::qrSingle, {0, 1, 2, 3}, TQRMode::qrConnect},
      {10, 3, TQRMode::qrSingle, {0, 4, 8, 10}, TQRMode::qrConnect},  // 3 a piece would leave 4 for the last
      {10, 4, TQRMode::qrSingle, {0, 3, 6, 9, 10}, TQRMode::qrConnect},
      {5, 4, TQRMode::qrSingle, {0, 1, 2, 3, 5}, TQRMode::qrConnect},  // 2 a piece would need only 3 pieces
      {7, 4, TQRMode::qrPlus, {0, 2, 4, 6, 7}, TQRMode::qrPlus},     // a qrPlus request stays qrPlus
      {6, 2000, TQRMode::qrSingle, {0, 1, 2, 3, 4, 5, 6}, TQRMode::qrConnect},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.length) + " bytes, Count " + std::to_string(c.count));
    const TPieceLayout layout = Split(std::string(c.length, 'x'), c.count, c.requested);
    EXPECT_EQ(Offsets(layout), c.offsets);
    EXPECT_EQ(layout.mode, c.mode);
  }

  const TPieceLayout plus = Split(std::string(100, 'x'), 20);
  EXPECT_EQ(plus.count, 20);
  EXPECT_EQ(plus.mode, TQRMode::qrPlus);
  for (std::int32_t k = 1; k <= 20; ++k) EXPECT_EQ(plus.offset[k] - plus.offset[k - 1], 5);

  const TPieceLayout most = Split(std::string(5000, 'x'), 5000);
  EXPECT_EQ(most.count, kMaxSymbols);
  EXPECT_EQ(most.offset[kMaxSymbols], 5000);
}

// Runs once per code page (see CMakeLists.txt): a boundary never falls
// between the two bytes of a double-byte character of the system code page
// whose second byte could be a kanji trail byte.
TEST(SplitData, BoundariesKeepDoubleByteCharactersWhole) {
  const bool doubleByte = platform::IsSystemLeadByte(0x88);  // GBK and Shift-JIS alike
  const bool b4Leads = platform::IsSystemLeadByte(0xB4);     // GBK only
  struct Case {
    const char* what;
    std::string data;
    std::int32_t count;
    std::vector<std::int32_t> singleByte;
    std::vector<std::int32_t> dbcs;
  };
  const Case cases[] = {
      {"moved back before the character", "A\x88\x9F" "B", 2, {0, 2, 4}, {0, 1, 4}},
      {"moved forward when back would empty a piece", "\x88\x9F\x88\x9F", 4, {0, 1, 2, 3, 4}, {0, 2, 4}},
      {"a lead-looking trail byte is not a lead", "\x88\x88\x88\x9F", 2, {0, 2, 4}, {0, 2, 4}},
      {"a second byte outside the kanji trail set is not protected", "A\x81\xFE" "B", 2, {0, 2, 4}, {0, 2, 4}},
      {"an ASCII letter as the second byte", "\x88" "AB", 3, {0, 1, 2, 3}, {0, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Offsets(Split(c.data, c.count)), doubleByte ? c.dbcs : c.singleByte);
  }
  // GBK's 0xB4F2 twice: its lead byte is a plain byte in Shift-JIS.
  const std::vector<std::int32_t> gbk{0, 2, 4};
  const std::vector<std::int32_t> otherwise{0, 1, 2, 3, 4};
  EXPECT_EQ(Offsets(Split("\xB4\xF2\xB4\xF2", 4)), b4Leads ? gbk : otherwise);
}

TEST(CheckParameters, NamesTheFirstIllegalItem) {
  struct Case {
    const char* what;
    std::string data;
    std::int32_t count;
    TQRMode mode;
    std::vector<std::int32_t> offsets;
    std::int32_t column;
    const char* message;
  };
  const auto bad = static_cast<TQRMode>(3);
  const Case cases[] = {
      {"no symbols", "abc", 0, TQRMode::qrSingle, {0, 3}, 16, "Illegal Count : 0"},
      {"too many symbols", "abc", 1025, TQRMode::qrPlus, {0, 3}, 16, "Illegal Count : 1025"},
      {"unknown mode", "abc", 1, bad, {0, 3}, 16, "Illegal Mode : 3"},
      {"no columns", "abc", 1, TQRMode::qrSingle, {0, 3}, 0, "Illegal Column : 0"},
      {"too many columns", "abc", 1, TQRMode::qrSingle, {0, 3}, 1025, "Illegal Column : 1025"},
      {"empty data in two symbols", "", 2, TQRMode::qrConnect, {0, 0, 0}, 16, "Illegal Count : 2"},
      {"empty data in connect mode", "", 1, TQRMode::qrConnect, {0, 0}, 16, "Illegal Mode : 1"},
      {"empty data with a boundary", "", 1, TQRMode::qrSingle, {0, 4}, 16, "Illegal Offset[1] : 4"},
      {"more symbols than bytes", "abc", 4, TQRMode::qrPlus, {0, 1, 2, 3, 3}, 16, "Illegal Count : 4"},
      {"single mode, two symbols", "abc", 2, TQRMode::qrSingle, {0, 1, 3}, 16, "Illegal Count : 2"},
      {"connect mode, one symbol", "abc", 1, TQRMode::qrConnect, {0, 3}, 16, "Illegal Count : 1"},
      {"connect mode, 17 symbols", std::string(20, 'x'), 17, TQRMode::qrConnect,
       {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 20}, 16, "Illegal Count : 17"},
      {"first boundary", "abc", 2, TQRMode::qrConnect, {1, 2, 3}, 16, "Illegal Offset[0] : 1"},
      {"last boundary short of the data", std::string(60, 'x'), 3, TQRMode::qrPlus, {0, 20, 40, 57}, 16,
       "Illegal Offset[3] : 57"},
      {"boundaries out of order", "abcdef", 3, TQRMode::qrConnect, {0, 4, 2, 6}, 16, "Illegal Offset[2] : 2"},
      {"empty piece", "abcdef", 3, TQRMode::qrConnect, {0, 3, 3, 6}, 16, "Illegal Offset[2] : 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TPieceLayout layout;
    layout.count = c.count;
    layout.mode = c.mode;
    std::copy(c.offsets.begin(), c.offsets.end(), layout.offset.begin());
    try {
      CheckParameters(c.data, layout, c.column);
      ADD_FAILURE() << "no error";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(CheckParameters, ParityOnlyForConnectedSymbols) {
  const std::string data = "\x01\x02\x04\x80Z";
  EXPECT_EQ(CheckParameters(data, Split(data, 2), 16), std::optional<std::uint8_t>(0x87 ^ 'Z'));
  EXPECT_EQ(CheckParameters(data, Split(data, 1), 16), std::nullopt);
  EXPECT_EQ(CheckParameters(data, Split(data, 2, TQRMode::qrPlus), 16), std::nullopt);
  EXPECT_EQ(CheckParameters("", Split("", 1), 1), std::nullopt);
}

}  // namespace
}  // namespace pavix::qr
