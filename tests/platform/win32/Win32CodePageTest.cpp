#include <gtest/gtest.h>
#include <windows.h>

#include "CodePage.h"

namespace pavix::platform {
namespace {

// The ANSI code page is fixed for the process; these cases hold for the
// users' GBK (936) and are skipped under any other.
class GbkCodePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 936) {
      GTEST_SKIP() << "the ANSI code page is " << ::GetACP()
                   << ", not 936 (GBK); run under a Chinese locale (with Wine: LC_ALL=zh_CN.UTF-8)";
    }
  }
};

TEST_F(GbkCodePageTest, LeadBytesAre81ToFE) {
  EXPECT_EQ(SystemCodePageName(), "936");
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(IsSystemLeadByte(static_cast<unsigned char>(byte)), byte >= 0x81 && byte <= 0xFE) << byte;
  }
}

TEST_F(GbkCodePageTest, TextRoundTripsThroughUtf16) {
  struct Case {
    std::string gbk;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"\xB4\xF2\xD3\xA1", u"\u6253\u5370"},
      {"\x95\x5C", u"\u661E"},  // the trail byte is a backslash: still one character
      {"C:\\\x95\x5C\\a", u"C:\\\u661E\\a"},
      {"Melvo\xCA\xD6\xBB\xFA\xB0\xE6", u"Melvo\u624B\u673A\u7248"},
      {"A", u"A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gbk);
    EXPECT_EQ(SystemToUtf16(c.gbk), c.utf16);
    EXPECT_EQ(Utf16ToSystem(c.utf16), c.gbk);
  }
}

TEST_F(GbkCodePageTest, BytesThatDoNotDecodeCostOneReplacementEach) {
  EXPECT_EQ(SystemToUtf16("a\xB4\xF2\xB4"), u"a\u6253\uFFFD");  // a lead byte cut off at the end
  EXPECT_EQ(SystemToUtf16("\x81\x20x"), u"\uFFFD x");            // a lead byte before a byte that is no trail
  EXPECT_EQ(SystemToUtf8("\xB4\xF2"), "\xE6\x89\x93");
}

TEST_F(GbkCodePageTest, CharactersGbkLacksBecomeQuestionMarks) {
  // No best fit: a look-alike would change what the text says.
  EXPECT_EQ(Utf16ToSystem(u"\u00B2\u6253"), "?\xB4\xF2");  // superscript two, not "2"
  EXPECT_EQ(Utf16ToSystem(u"\u00A6"), "?");                  // broken bar, not "|"
  EXPECT_EQ(Utf16ToSystem(u"\u0E01"), "?");                  // Thai
}

}  // namespace
}  // namespace pavix::platform
