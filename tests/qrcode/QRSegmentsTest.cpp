#include <gtest/gtest.h>

#include "QRSegments.h"

namespace pavix::qr {
namespace {

TEST(ClassifyChar, ClassesWithUsejis) {
  struct Case {
    std::string text;
    std::int32_t mode;  // of the first character
  };
  const Case cases[] = {
      {"0", kModeNumeric},        {"9", kModeNumeric},      {"Z", kModeAlphanumeric},
      {" ", kModeAlphanumeric},   {":", kModeAlphanumeric}, {"a", kModeByte},
      {"\r", kModeByte},          {"#", kModeByte},         {"\x80", kModeByte},
      {"\xA0", kModeByte},        {"\xDF", kModeByte},      {"\x88\x9F", kModeKanji},
      {"\x88\x40", kModeKanji},   {"\xEB\xBF", kModeKanji},  // the last value that fits 13 bits
      {"\x88\x7F", kModeByte},    // 0x7F is no trail byte
      {"\x88", kModeByte},        // a lead byte at the end stands alone
      {"\xEC\x40", kModeByte},    // beyond the kanji lead ranges
      {"\xEB\xC0", kModeByte},    // would need a fourteenth bit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(ClassifyChar(c.text, 0, true), c.mode);
    EXPECT_EQ(ClassifyChar(c.text, 0, false), kModeByte);
  }
  EXPECT_EQ(ClassifyChar("A", 1, true), kModeNone);
  EXPECT_EQ(ClassifyChar("", 0, false), kModeNone);
}

TEST(KanjiValue, StandardExamplesAndRanges) {
  EXPECT_EQ(KanjiValue(0x93, 0x5F), 0x0D9F);  // the standard's two examples
  EXPECT_EQ(KanjiValue(0xE4, 0xAA), 0x1AAA);
  EXPECT_EQ(KanjiValue(0x81, 0x40), 0);
  EXPECT_EQ(KanjiValue(0x9F, 0xFC), 0x173C);
  EXPECT_EQ(KanjiValue(0xE0, 0x40), 0x1740);
  EXPECT_EQ(KanjiValue(0xEB, 0xBF), 0x1FFF);
  EXPECT_EQ(KanjiValue(0xEB, 0xC0), -1);
  EXPECT_EQ(KanjiValue(0xA0, 0x40), -1);
  EXPECT_EQ(KanjiValue(0x81, 0xFD), -1);
  EXPECT_EQ(KanjiValue(0x81, 0x3F), -1);
}

TEST(SegmentBits, IndicatorCountAndData) {
  struct Case {
    std::int32_t mode;
    std::int32_t count;
    std::int32_t version;
    std::int32_t bits;
  };
  const Case cases[] = {
      {kModeNumeric, 8, 1, 4 + 10 + 27},    {kModeNumeric, 3, 1, 4 + 10 + 10},
      {kModeNumeric, 4, 10, 4 + 12 + 14},   {kModeNumeric, 0, 27, 4 + 14},
      {kModeAlphanumeric, 11, 1, 4 + 9 + 61}, {kModeAlphanumeric, 2, 26, 4 + 11 + 11},
      {kModeAlphanumeric, 1, 40, 4 + 13 + 6}, {kModeByte, 192, 8, 4 + 8 + 1536},
      {kModeByte, 1, 9, 4 + 8 + 8},         {kModeByte, 1, 10, 4 + 16 + 8},
      {kModeKanji, 4, 1, 4 + 8 + 26},       {kModeKanji, 4, 27, 4 + 12 + 26},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " count " << c.count << " version " << c.version);
    EXPECT_EQ(SegmentBits(c.mode, c.count, c.version), c.bits);
  }
}

TEST(NextSegment, ChoosesTheShorterStream) {
  struct Case {
    const char* what;
    std::string text;
    bool usejis;
    std::size_t length;
    std::int32_t mode;
  };
  const Case cases[] = {
      {"eight digits", "01234567", true, 8, kModeNumeric},
      {"digits inside alphanumerics cost less kept in", "AB12", true, 4, kModeAlphanumeric},
      {"a run that resumes the segment counts its restart", "A1234567B", true, 9, kModeAlphanumeric},
      {"a long digit run is split off", "A12345678901234567890", true, 1, kModeAlphanumeric},
      {"a wider run is taken in when equal", "123a", true, 4, kModeByte},
      {"a wider run stays apart when shorter", "12345a", true, 5, kModeNumeric},
      {"only the run is taken into the wider mode", "123a45678", true, 4, kModeByte},
      {"kanji never merges", "\x88\x9F" "A", true, 2, kModeKanji},
      {"nor does what precedes it", "A\x88\x9F", true, 1, kModeAlphanumeric},
      {"a lone lead byte at the end is a byte", "A\x88", true, 2, kModeByte},
      {"CR LF is 8-bit", "a\r\n", true, 3, kModeByte},
      {"without Usejis everything is one 8-bit segment", "0123 ABC\r\n\x88\x9F", false, 12, kModeByte},
      {"nothing left", "", true, 0, kModeNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TSegment segment = NextSegment(c.text, c.usejis, 1);
    EXPECT_EQ(segment.length, c.length);
    if (c.length > 0) {
      EXPECT_EQ(segment.mode, c.mode);
    }
  }
}

}  // namespace
}  // namespace pavix::qr
