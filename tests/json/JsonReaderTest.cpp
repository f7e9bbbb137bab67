#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "JsonTreeShape.h"
#include "LocalDateTime.h"
#include "uJSON.h"

namespace pavix {
namespace {

using test::Shape;

struct ReadCase {
  std::string text;
  std::string shape;  // of what is read with utf8 true; "none" when nothing is
};

template <std::size_t N>
void ExpectReads(const ReadCase (&cases)[N]) {
  for (const ReadCase& c : cases) {
    EXPECT_EQ(Shape(TJSON::JsonFromText(c.text, true).get()), c.shape) << "text: " << c.text;
  }
}

TEST(JsonReaderTest, ReadsTheFirstValueAndIgnoresTheRest) {
  const ReadCase cases[] = {
      {"", "none"},
      {" \t\r\n", "none"},
      {"42 words", "42"},
      {std::string("\x01\x1f\0 7", 5), "7"},  // every control byte is a blank
      {"\x80 7", "none"},                      // bytes from 0x80 on are not
      {"[1] [2]", "[1]"},
      {"trueish", "true"},
      {"nulls", "null"},
      {"false", "false"},
      {"TRUE", "none"},
      {"fals", "none"},
  };
  ExpectReads(cases);
}

TEST(JsonReaderTest, ReadsArraysAndObjectsWithOptionalCommas) {
  const ReadCase cases[] = {
      {"[[1,2,3],[27,64,0]]", "[[1 2 3] [27 64 0]]"},
      {"[1 2]", "[1 2]"},
      {"[1,2,]", "[1 2]"},
      {"[1 , 2 ,]", "[1 2]"},
      {"[]", "[]"},
      {"{}", "{}"},
      {"[,1]", "none"},
      {"[ ]", "none"},
      {"[1, ]", "none"},
      {"[1,,2]", "none"},
      {"[1", "none"},
      {"{ }", "none"},
      {R"({"a":1, })", "none"},
      {R"({ "a" : 1 , "b":[] })", "{a=1 b=[]}"},
      {R"({"a":1,"a":2})", "{a=1 a=2}"},  // repeated names are kept in text order
      {R"({"a":1 "b":2,})", "{a=1 b=2}"},
      {"{a:1}", "none"},
      {R"({"a" 1})", "none"},
      {R"({"a":})", "none"},
      {R"([{"a":[1,{"b":null}]}])", "[{a=[1 {b=null}]}]"},
  };
  ExpectReads(cases);
}

TEST(JsonReaderTest, ReadsNumbersOfTheLenientForm) {
  const ReadCase cases[] = {
      {"+5", "5"},
      {"007", "7"},
      {"1E2", "100"},
      {"-0.25", "-0.25"},
      {"2.5e-3", "0.0025"},
      {"-0", "-0"},
      {"1.", "none"},
      {".5", "none"},
      {"1e", "none"},
      {"1e+", "none"},
      {"--1", "none"},
      {"+", "none"},
      {"- 1", "none"},  // no blank inside a number
      {"1.5.3", "1.5"},
      {"18446744073709551616", "18446744073709551616"},  // 2^64: beyond a 64-bit integer, exact in the float
      {"1e-99999", "0"},                                 // below the smallest subnormal
      // Beyond the range of the float: the read fails instead of giving infinity.
      {"1e99999", "none"},
      {"-1.2e4933", "none"},
      {"[1,1e5000]", "none"},
  };
  ExpectReads(cases);
  const auto max = TJSON::JsonFromText("1.18973149535723176502e4932", true);
  ASSERT_NE(max, nullptr);
  EXPECT_EQ(JsonCast<TJSONnumber>(max.get())->Value(), std::numeric_limits<long double>::max());
}

TEST(JsonReaderTest, ResolvesEscapesAndDecodesUtf8) {
  const ReadCase cases[] = {
      {R"("\"\\\/\b\f\n\r\t")", "'\"\\/\b\f\n\r\t'"},
      {R"("\u00e9")", "'\u00E9'"},
      {R"("\u00E9\u6253")", "'\u00E9\u6253'"},
      {R"("\u0041\u0000")", std::string("'A\0'", 4)},
      {R"("\ud83d\ude00")", "'\U0001F600'"},  // each half on its own, then joined
      {"\"\xF0\x9F\x98\x80\"", "'\U0001F600'"},
      {"\"\xE6\x89\x93\xE5\x8D\xB0\"", "'\u6253\u5370'"},
      {R"("a\qb")", "'ab'"},  // an unknown escape is dropped with its byte
      // A malformed string is read as empty.
      {"\"\xC3\"", "''"},
      {"\"a\xE6\x89\"", "''"},
      {"\"\x80\"", "''"},
      {"\"\xC0\xAF\"", "''"},
      // A bad \u escape ends the whole read.
      {R"("\u00zz")", "none"},
      {R"(["ok","\u12"])", "none"},
      {R"("abc)", "none"},
      {R"("abc\)", "none"},
  };
  ExpectReads(cases);
}

TEST(JsonReaderTest, ReplacesDateStringsWithTheMachinesDateText) {
  using platform::CalendarDateTime;
  const std::string eightOClock = platform::ShortDateLongTimeText(CalendarDateTime{1970, 1, 1, 8, 0, 0});
  const ReadCase cases[] = {
      {R"("/Date(0)/")", "'" + eightOClock + "'"},
      {R"("\/Date(0)\/")", "'" + eightOClock + "'"},
      {R"("/Date(x)/")", "'" + eightOClock + "'"},   // no integer: 0
      {R"("/Date(0+0800)/")", "'" + eightOClock + "'"},
      {R"("/Date(1999ab")", "'" + platform::ShortDateLongTimeText({1970, 1, 1, 8, 0, 1}) + "'"},  // last two bytes unread
      {R"("/Date(-1500)/")", "'" + platform::ShortDateLongTimeText({1970, 1, 1, 7, 59, 59}) + "'"},
      {R"("/Date(1700000000000)/")", "'" + platform::ShortDateLongTimeText({2023, 11, 15, 6, 13, 20}) + "'"},
      // Midnight: the date alone. Day zero of the calendar: the time alone.
      {R"("/Date(-28800000)/")", "'" + platform::ShortDateText({1970, 1, 1, 0, 0, 0}) + "'"},
      {R"("/Date(-2209147200000)/")", "'" + platform::LongTimeText({1899, 12, 30, 12, 0, 0}) + "'"},
      // Too short, or a moment no calendar text can show: left as it is.
      {R"("/Date(")", "'/Date('"},
      {R"("/Date(9223372036854775807)/")", "'/Date(9223372036854775807)/'"},
      {R"({"/Date(0)/":1})", "{" + eightOClock + "=1}"},  // names too
  };
  ExpectReads(cases);
}

TEST(JsonReaderTest, LimitsNestingTo512Levels) {
  const auto nested = [](int levels) { return std::string(levels, '[') + std::string(levels, ']'); };
  EXPECT_NE(TJSON::JsonFromText(nested(TJSON::kMaxNesting), true), nullptr);
  EXPECT_EQ(TJSON::JsonFromText(nested(TJSON::kMaxNesting + 1), true), nullptr);
  std::string objects;
  for (int i = 0; i <= TJSON::kMaxNesting; ++i) objects += R"({"a":)";
  EXPECT_EQ(TJSON::JsonFromText(objects + "1" + std::string(TJSON::kMaxNesting + 1, '}'), true), nullptr);
  // A body meant to overflow the stack of a request thread.
  EXPECT_EQ(TJSON::JsonFromText(std::string(100000, '['), true), nullptr);
  EXPECT_EQ(TJSON::JsonFromText(nested(100000), false), nullptr);
}

// A locale whose decimal separator is a comma must not change how numbers read.
TEST(JsonReaderTest, IgnoresTheLocaleDecimalSeparator) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const char* chosen = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252", "German"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr && *std::localeconv()->decimal_point == ',') {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) {
    std::setlocale(LC_NUMERIC, previous.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const std::string shape = Shape(TJSON::JsonFromText("[0.5,2.5e-1]", true).get());
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(shape, "[0.5 0.25]") << "under " << chosen;
}

}  // namespace
}  // namespace pavix
