#include <gtest/gtest.h>

#include <vector>

#include "QRBitStream.h"
#include "QRVersionTable.h"

namespace pavix::qr {
namespace {

using Codewords = std::vector<int>;

struct Encoded {
  bool fits = false;
  Codewords codewords;  // the level's data codewords
  std::int32_t emodeR = 99;
};

Encoded Encode(std::string_view piece, TEncodeSettings settings, TSymbolPosition position = {},
               std::int32_t emodeR = 99) {
  TDataCodewords buffer;
  Encoded result;
  result.emodeR = emodeR;
  result.fits = EncodePiece(piece, settings, position, buffer, result.emodeR);
  const auto length = VersionInfo(settings.version).levels[settings.eclevel].dataCodewords;
  result.codewords.assign(buffer.begin(), buffer.begin() + length);
  return result;
}

TEST(EncodePiece, StandardExamples) {
  const Encoded numeric = Encode("01234567", {.version = 1, .eclevel = 1, .usejis = true});
  EXPECT_TRUE(numeric.fits);
  EXPECT_EQ(numeric.codewords, (Codewords{16, 32, 12, 86, 97, 128, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17}));
  EXPECT_EQ(numeric.emodeR, kModeNumeric);

  const Encoded alphanumeric = Encode("HELLO WORLD", {.version = 1, .eclevel = 2, .usejis = true});
  EXPECT_TRUE(alphanumeric.fits);
  EXPECT_EQ(alphanumeric.codewords, (Codewords{32, 91, 11, 120, 209, 114, 220, 77, 67, 64, 236, 17, 236}));
  EXPECT_EQ(alphanumeric.emodeR, kModeAlphanumeric);
}

TEST(EncodePiece, WithoutUsejisEverythingIsBytes) {
  const Encoded bytes = Encode("01\r\n", {.version = 1, .eclevel = 0});
  // 0100, count 4, '0' '1' CR LF, terminator; then pad codewords.
  EXPECT_EQ(bytes.codewords, (Codewords{0x40, 0x43, 0x03, 0x10, 0xD0, 0xA0, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11,
                                        0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC}));
  EXPECT_EQ(bytes.emodeR, kModeByte);
}

TEST(EncodePiece, EmptyPieceIsTerminatorAndPadding) {
  const Encoded empty = Encode("", {.version = 1, .eclevel = 0});
  EXPECT_TRUE(empty.fits);
  EXPECT_EQ(empty.codewords, (Codewords{0, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17, 236, 17,
                                        236, 17}));
  EXPECT_EQ(empty.emodeR, kModeNone);
}

TEST(EncodePiece, PairingSizeFitsVersion8LevelL) {
  const TEncodeSettings pairing{.version = 8, .eclevel = 0};
  const Encoded full = Encode(std::string(192, 'Q'), pairing);
  EXPECT_TRUE(full.fits);
  // 0100, count 192, 192 × 0x51: 4 + 8 + 1536 of 1552 bits, and the
  // terminator fills the last four.
  EXPECT_EQ(full.codewords[0], 0x4C);
  EXPECT_EQ(full.codewords[1], 0x05);
  EXPECT_EQ(full.codewords[192], 0x15);
  EXPECT_EQ(full.codewords[193], 0x10);

  const Encoded over = Encode(std::string(193, 'Q'), pairing, {}, 7);
  EXPECT_FALSE(over.fits);
  EXPECT_EQ(over.emodeR, 7) << "a failed piece leaves EmodeR alone";
  EXPECT_FALSE(Encode(std::string(kMaxPieceBytes + 1, '1'), {.version = 40, .eclevel = 0, .usejis = true}).fits);
}

TEST(EncodePiece, StructuredAppendHeaderOnlyInConnectMode) {
  const TEncodeSettings settings{.version = 1, .eclevel = 0};
  const Encoded connected = Encode("AB", settings, {TQRMode::qrConnect, 2, 3, 0x1A5});
  // 0011, index 2-1, count 3-1, parity (low 8 bits); then the 8-bit segment.
  EXPECT_EQ(Codewords(connected.codewords.begin(), connected.codewords.begin() + 8),
            (Codewords{0x31, 0x2A, 0x54, 0x02, 0x41, 0x42, 0x00, 0xEC}));

  const Encoded plus = Encode("AB", settings, {TQRMode::qrPlus, 2, 3, 0xA5});
  EXPECT_EQ(plus.codewords, Encode("AB", settings).codewords);
}

TEST(EncodePiece, FixedModeFailsOnCharactersItCannotCarry) {
  struct Case {
    std::int32_t emode;
    std::string piece;
    bool fits;
  };
  const Case cases[] = {
      {kModeNumeric, "0123456789", true}, {kModeNumeric, "123a", false},
      {kModeAlphanumeric, "AZ $%*+-./:", true}, {kModeAlphanumeric, "ab", false},
      {kModeAlphanumeric, "A\xC1", false},  {kModeByte, std::string("any\0\xFF", 5), true},
      {kModeKanji, "\x93\x5F\xE4\xAA", true}, {kModeKanji, "\x93\x5F\xE4", false},
      {kModeKanji, "\xA0\x40", false},      {kModeKanji, "\x88\x7F", false},
      {kModeKanji, "\xEB\xC0", false},      {kModeNumeric, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.emode << " " << testing::PrintToString(c.piece));
    const Encoded encoded = Encode(c.piece, {.version = 1, .eclevel = 0, .emode = c.emode}, {}, 5);
    EXPECT_EQ(encoded.fits, c.fits);
    EXPECT_EQ(encoded.emodeR, 5) << "fixed mode leaves EmodeR to the setter";
  }
  // The standard's kanji example 点茗: 1000, count 2, 0x0D9F, 0x1AAA.
  const Codewords kanji = Encode("\x93\x5F\xE4\xAA", {.version = 1, .eclevel = 0, .emode = kModeKanji}).codewords;
  EXPECT_EQ(Codewords(kanji.begin(), kanji.begin() + 5), (Codewords{0x80, 0x26, 0xCF, 0xEA, 0xA8}));
}

// The table's capacity fits exactly, in every mode, version and level.
TEST(EncodePiece, CapacityIsTheMostThatFits) {
  const std::string filler[] = {"1", "A", "a", "\x88\x9F"};
  for (std::int32_t version = kMinVersion; version <= kMaxVersion; ++version) {
    for (std::int32_t level = 0; level < 4; ++level) {
      for (std::int32_t mode = kModeNumeric; mode <= kModeKanji; ++mode) {
        const std::int32_t capacity = VersionInfo(version).levels[level].capacity[mode];
        std::string text;
        for (std::int32_t i = 0; i < capacity; ++i) text += filler[mode];
        const TEncodeSettings settings{.version = version, .eclevel = level, .emode = mode};
        SCOPED_TRACE(testing::Message() << "version " << version << " level " << level << " mode " << mode);
        EXPECT_TRUE(Encode(text, settings).fits);
        EXPECT_FALSE(Encode(text + filler[mode], settings).fits);
      }
    }
  }
}

TEST(Capacity, ByModeUsedAndCount) {
  EXPECT_EQ(Capacity(8, 0, kModeNone, 1), 279);
  EXPECT_EQ(Capacity(8, 0, kModeNone, 3), 3 * 279);
  EXPECT_EQ(Capacity(8, 0, kModeByte, 1), 192);
  EXPECT_EQ(Capacity(40, 3, kModeKanji, 2), 2 * 784);
}

}  // namespace
}  // namespace pavix::qr
