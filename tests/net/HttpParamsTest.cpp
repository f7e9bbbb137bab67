#include <gtest/gtest.h>

#include "HttpDate.h"
#include "HttpParams.h"

namespace pavix::net {
namespace {

TEST(HttpParams, DecodingTable) {
  struct Case {
    std::string text, charset;
    std::vector<std::string> lines;
  };
  for (const Case& c : {
           Case{"a=1&&b=%41+%zz", "", {"a=1", "", "b=A "}},
           Case{"", "", {""}},
           Case{"&", "", {"", ""}},
           Case{"x=%u0041%U004a", "", {"x=AJ"}},
           Case{"x=%u00zz1&y=%4", "", {"x=1", "y="}},  // bad escapes drop whole
           Case{"x=%2B%26%3D", "", {"x=+&="}},          // escaped separators stay text
           Case{"x=%41", "utf-8", {"x=A"}},
       }) {
    EXPECT_EQ(DecodeParams(c.text, c.charset).Lines(), c.lines) << c.text;
  }
}

TEST(HttpParams, CharsetDecidesHowEscapedBytesRead) {
  // U+00E9: two bytes in UTF-8, one in Latin-1; both the same character.
  const NameValueList utf8 = DecodeParams("x=%C3%A9", "UTF-8");
  const NameValueList latin1 = DecodeParams("x=%E9", "ISO-8859-1");
  EXPECT_EQ(utf8.Lines(), latin1.Lines());
  EXPECT_EQ(DecodeParams("x=%u00e9", "").Lines(), latin1.Lines());
}

TEST(HttpDate, Rfc1123InGmtWithEnglishNames) {
  using namespace std::chrono;
  EXPECT_EQ(Rfc1123Date(sys_days(1994y / November / 6) + 8h + 49min + 37s), "Sun, 06 Nov 1994 08:49:37 GMT");
  EXPECT_EQ(Rfc1123Date(sys_days(2000y / February / 29) + 23h + 59min + 59s + 999ms), "Tue, 29 Feb 2000 23:59:59 GMT");
  EXPECT_EQ(Rfc1123Date(sys_days(1970y / January / 1)), "Thu, 01 Jan 1970 00:00:00 GMT");
}

}  // namespace
}  // namespace pavix::net
