#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "uJSON.h"

namespace pavix {
namespace {

std::string Write(const TJSONbase& value, bool utf8 = true) { return TJSON::JsonToText(&value, utf8); }

std::string WriteString(std::u16string text, bool utf8 = true) { return Write(TJSONstring(std::move(text)), utf8); }

TEST(JsonWriterTest, WritesThePairingPayloadByteForByte) {
  TJSONobject payload(false);
  payload.AddField(u"QRType", std::string("PCPrinter"));
  payload.AddField(u"Port", 8212);
  EXPECT_EQ(Write(payload), R"({"QRType":"PCPrinter","Port":8212})");
}

TEST(JsonWriterTest, WritesEveryKindCompactly) {
  TJSONlist list;
  list.AppendChild(std::make_unique<TJSONboolean>(true));
  list.AppendChild(std::make_unique<TJSONboolean>(false));
  list.AppendChild(std::make_unique<TJSONnull>());
  list.AppendChild(std::make_unique<TJSONlist>());
  auto object = std::make_unique<TJSONobject>(false);
  object->AddField(u"a", std::make_unique<TJSONobject>(false));
  object->AddField(u"a", std::make_unique<TJSONnumber>(1.0L));
  list.AppendChild(std::move(object));
  EXPECT_EQ(Write(list), R"([true,false,null,[],{"a":{},"a":1}])");
  EXPECT_EQ(Write(TJSONobjectmethod(u"k", std::make_unique<TJSONnull>())), R"("k":null)");
  EXPECT_EQ(TJSON::JsonToText(nullptr, true), "");
  EXPECT_EQ(Write(TJSONbase()), "");
}

TEST(JsonWriterTest, WritesNumbersWithFifteenSignificantDigits) {
  struct Case {
    long double value;
    const char* text;
  };
  const Case cases[] = {
      {8212, "8212"},        {-0.25L, "-0.25"},   {1e15L, "1E15"},
      {1e-5L, "1E-5"},       {0.0001L, "0.0001"}, {1.5e-7L, "1.5E-7"},
      {1.0L / 3, "0.333333333333333"},            {123456789012345.0L, "123456789012345"},
      {0, "0"},
      // JSON has no word for these: they are written as null, never as text
      // that no reader takes.
      {std::numeric_limits<long double>::quiet_NaN(), "null"},
      {std::numeric_limits<long double>::infinity(), "null"},
      {-std::numeric_limits<long double>::infinity(), "null"},
  };
  for (const Case& c : cases) EXPECT_EQ(Write(TJSONnumber(c.value)), c.text) << c.text;
}

TEST(JsonWriterTest, EscapesExactlyTheBytesOfTheTable) {
  EXPECT_EQ(WriteString(u"/\"\x01"), R"("\/\"\u0001")");
  for (char16_t unit = 0; unit < 0x80; ++unit) {
    std::string expected(1, static_cast<char>(unit));
    switch (unit) {
      case 0x08: expected = "\\b"; break;
      case 0x09: expected = "\\t"; break;
      case 0x0A: expected = "\\n"; break;
      case 0x0C: expected = "\\f"; break;
      case 0x0D: expected = "\\r"; break;
      case 0x22: expected = "\\\""; break;
      case 0x2F: expected = "\\/"; break;
      case 0x5C: expected = "\\\\"; break;
      default:
        if (unit < 0x20) {
          const char* hex = "0123456789ABCDEF";
          expected = std::string("\\u00") + hex[unit >> 4] + hex[unit & 0xF];
        }
    }
    EXPECT_EQ(WriteString(std::u16string(1, unit)), "\"" + expected + "\"") << "unit " << int(unit);
  }
}

TEST(JsonWriterTest, WritesEachCodeUnitAsItsOwnUtf8) {
  EXPECT_EQ(WriteString(u"\u00E9"), "\"\xC3\xA9\"");
  EXPECT_EQ(WriteString(u"\u6253\u007F"), "\"\xE6\x89\x93\x7F\"");
  // A surrogate pair is two 3-byte sequences, not one 4-byte sequence.
  EXPECT_EQ(WriteString(u"\U0001F600"), "\"\xED\xA0\xBD\xED\xB8\x80\"");
}

}  // namespace
}  // namespace pavix
