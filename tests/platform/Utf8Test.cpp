#include <gtest/gtest.h>

#include "CodePage.h"

namespace pavix::platform {
namespace {

TEST(Utf8, RoundTripsEveryEncodedLength) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  for (const Case& c : {Case{"", u""}, Case{"A", u"A"}, Case{"\xC3\xA9", u"\u00E9"}, Case{"\xE6\x89\x93", u"\u6253"},
                        Case{"\xF0\x9F\x96\xA8", u"\U0001F5A8"}}) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
  }
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  for (const Case& c : {Case{"\xC3", u"\uFFFD"}, Case{"a\xC3z", u"a\uFFFDz"}, Case{"\xC0\x80", u"\uFFFD"},
                        Case{"\xE6\x89", u"\uFFFD"}, Case{"\xFF!", u"\uFFFD!"}}) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  }
}

TEST(Utf8, LoneSurrogateSurvivesTheRoundTrip) {
  const std::u16string lone(1, char16_t{0xD800});
  EXPECT_EQ(Utf16ToUtf8(lone), "\xED\xA0\x80");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), lone);
}

}  // namespace
}  // namespace pavix::platform
