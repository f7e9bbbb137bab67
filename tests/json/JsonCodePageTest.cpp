// JSON text in the system code page. The code page is chosen once per
// process, so this program runs once with GBK (PAVIX_CODEPAGE on POSIX, code
// page 936 on Windows) and once without lead bytes.
#include <gtest/gtest.h>

#include <string>

#include "CodePage.h"
#include "JsonTreeShape.h"
#include "uJSON.h"

namespace pavix {
namespace {

using test::Shape;

bool SystemIsDoubleByte() { return platform::IsSystemLeadByte(0x95); }

struct ReadCase {
  std::string text;
  bool utf8;
  std::string shape;
};

TEST(JsonCodePageTest, TheSecondByteOfADoubleByteCharacterIsNeverAnEscape) {
  if (!SystemIsDoubleByte()) GTEST_SKIP() << "needs a double-byte system code page such as GBK";
  const ReadCase cases[] = {
      // 0x955C is one character whose second byte has the value of a backslash.
      {"\"\x95\x5C\"", false, "'\u661E'"},
      {"[\"\x95\x5C\",\"\xB4\xF2\xD3\xA1\"]", false, "['\u661E' '\u6253\u5370']"},
      {"{\"\x95\x5C\":\"\x95\x5C\\n\"}", false, "{\u661E='\u661E\n'}"},
      // ...nor a quotation mark: this string never ends.
      {"\"\x95\"", false, "none"},
      // UTF-8 never has lead bytes: a character that ends on a byte GBK
      // would take for one leaves the closing quotation mark alone.
      {"[\"\xE4\xBD\xA0\",1]", true, "['\u4F60' 1]"},
      // A \u escape is its code unit, not code page bytes.
      {R"("\u00e9\u6253")", false, "'\u00E9\u6253'"},
  };
  for (const ReadCase& c : cases) {
    EXPECT_EQ(Shape(TJSON::JsonFromText(c.text, c.utf8).get()), c.shape) << c.text;
  }
}

TEST(JsonCodePageTest, WrittenDoubleByteCharactersReadBackUnchanged) {
  if (!SystemIsDoubleByte()) GTEST_SKIP() << "needs a double-byte system code page such as GBK";
  const TJSONstring text(u"\u661E\\\u6253");
  const std::string written = TJSON::JsonToText(&text, false);
  EXPECT_EQ(written, "\"\x95\x5C\\\\\xB4\xF2\"");
  EXPECT_EQ(Shape(TJSON::JsonFromText(written, false).get()), "'\u661E\\\u6253'");
}

TEST(JsonCodePageTest, SingleByteTextKeepsEveryEscape) {
  if (SystemIsDoubleByte()) GTEST_SKIP() << "needs a system code page without lead bytes";
  EXPECT_EQ(Shape(TJSON::JsonFromText("[\"a\\\"b\",\"\\u00e9\"]", false).get()), "['a\"b' '\u00E9']");
  const TJSONstring text(u"\\\u00E9");
  EXPECT_EQ(TJSON::JsonToText(&text, false), "\"\\\\" + platform::Utf16ToSystem(u"\u00E9") + "\"");
}

}  // namespace
}  // namespace pavix
