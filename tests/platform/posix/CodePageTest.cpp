#include <gtest/gtest.h>

#include "CodePage.h"

namespace pavix::platform {
namespace {

bool SystemIsGbk() { return SystemCodePageName() == "GBK"; }

TEST(SystemCodePage, Utf8HasNoLeadBytes) {
  if (SystemIsGbk()) GTEST_SKIP() << "run with PAVIX_CODEPAGE=UTF-8";
  for (int byte = 0; byte < 256; ++byte) EXPECT_FALSE(IsSystemLeadByte(static_cast<unsigned char>(byte))) << byte;
  EXPECT_EQ(SystemToUtf16("\xE6\x89\x93\xE5\x8D\xB0"), u"\u6253\u5370");
  EXPECT_EQ(Utf16ToSystem(u"\u6253\u5370"), "\xE6\x89\x93\xE5\x8D\xB0");
}

TEST(SystemCodePage, GbkLeadBytesAndConversions) {
  if (!SystemIsGbk()) GTEST_SKIP() << "run with PAVIX_CODEPAGE=GBK";
  for (int byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(IsSystemLeadByte(static_cast<unsigned char>(byte)), byte >= 0x81 && byte <= 0xFE) << byte;
  }
  struct Case {
    std::string gbk;
    std::u16string utf16;
  };
  // 0x955C ends in the byte of a backslash: it must stay one character.
  for (const Case& c : {Case{"\xB4\xF2\xD3\xA1", u"\u6253\u5370"}, Case{"\x95\x5C", u"\u661E"}, Case{"A", u"A"}}) {
    SCOPED_TRACE(c.gbk);
    EXPECT_EQ(SystemToUtf16(c.gbk), c.utf16);
    EXPECT_EQ(Utf16ToSystem(c.utf16), c.gbk);
  }
  EXPECT_EQ(Utf16ToSystem(u"\u00FF\u6253"), "?\xB4\xF2");  // ÿ has no GBK form
  EXPECT_EQ(SystemToUtf16("\xB4"), u"\uFFFD");  // a lead byte cut off at the end
  EXPECT_EQ(SystemToUtf8("\xB4\xF2"), "\xE6\x89\x93");
}

}  // namespace
}  // namespace pavix::platform
