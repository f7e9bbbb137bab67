#include "Variant.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "JsonErrors.h"

namespace pavix {
namespace {

Variant Number(double value) { return Variant::FromDouble(value); }
Variant Text(const char16_t* text) { return Variant::FromText(text); }

// The message of the pavix::Exception that `action` raises, or a note that it raised none.
std::string FailureOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.what();
  }
  return "(no error)";
}

struct IntCase {
  const char* label;
  Variant value;
  std::int32_t expected;
};

TEST(VariantToInt32Test, ConvertsNumbersTextsAndBooleans) {
  const IntCase cases[] = {
      {"65", Number(65), 65},
      {"255", Number(255), 255},
      {"256", Number(256), 256},
      {"-1", Number(-1), -1},
      {"65.4", Number(65.4), 65},
      {"65.5", Number(65.5), 66},
      {"66.5", Number(66.5), 66},
      {"0.5", Number(0.5), 0},
      {"1.5", Number(1.5), 2},
      {"2.5", Number(2.5), 2},
      {"254.5", Number(254.5), 254},
      {"-0.5", Number(-0.5), 0},
      {"-1.5", Number(-1.5), -2},
      {"2147483647.4", Number(2147483647.4), 2147483647},
      {"-2147483648.5", Number(-2147483648.5), std::numeric_limits<std::int32_t>::min()},
      {"text 12", Text(u"12"), 12},
      {"text -3", Text(u"-3"), -3},
      {"text +7", Text(u"+7"), 7},
      {"text 007", Text(u"007"), 7},
      {"text 2147483647", Text(u"2147483647"), 2147483647},
      {"text 65.5", Text(u"65.5"), 66},
      {"text 66.5", Text(u"66.5"), 66},
      {"text 1E2", Text(u"1E2"), 100},
      {"text 1e-400", Text(u"1e-400"), 0},  // below a double's range: zero
      {"true", Variant::FromBoolean(true), -1},
      {"false", Variant::FromBoolean(false), 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.value.ToInt32(), c.expected) << c.label;
  }
}

struct FailureCase {
  const char* label;
  Variant value;
  const char* message;
};

TEST(VariantToInt32Test, ReportsValuesWithoutAnInteger) {
  const char* doubleOverflow = "Overflow while converting variant of type (Double) into type (Integer)";
  const char* textOverflow = "Overflow while converting variant of type (String) into type (Integer)";
  const char* textInvalid = "Could not convert variant of type (String) into type (Integer)";
  const FailureCase cases[] = {
      {"2147483648", Number(2147483648.0), doubleOverflow},
      {"-2147483649", Number(-2147483649.0), doubleOverflow},
      {"2147483647.5", Number(2147483647.5), doubleOverflow},  // the tie goes to the even 2^31
      {"NaN", Number(std::numeric_limits<double>::quiet_NaN()), doubleOverflow},
      {"infinity", Number(std::numeric_limits<double>::infinity()), doubleOverflow},
      {"text 2147483648", Text(u"2147483648"), textOverflow},
      {"text 99999999999999999999", Text(u"99999999999999999999"), textOverflow},
      {"text 1E10", Text(u"1E10"), textOverflow},
      {"text 1e400", Text(u"1e400"), textOverflow},
      {"text abc", Text(u"abc"), textInvalid},
      {"empty text", Text(u""), textInvalid},
      {"leading blank", Text(u" 1"), textInvalid},
      {"trailing blank", Text(u"1 "), textInvalid},
      {"text true", Text(u"true"), textInvalid},
      {"text 1.", Text(u"1."), textInvalid},
      {"text .5", Text(u".5"), textInvalid},
      {"text --1", Text(u"--1"), textInvalid},
      {"text 0x10", Text(u"0x10"), textInvalid},
      {"full-width digit", Text(u"\uFF11"), textInvalid},
      {"Null", Variant::Null(), "Could not convert variant of type (Null) into type (Integer)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FailureOf([&] { c.value.ToInt32(); }), c.message) << c.label;
  }
}

TEST(VariantToInt32Test, OverflowAndConversionFailuresHaveTheirOwnTypes) {
  EXPECT_THROW(Number(1e10).ToInt32(), VariantOverflowError);
  EXPECT_THROW(Text(u"abc").ToInt32(), VariantConversionError);
  EXPECT_THROW(Variant::Null().ToInt32(), VariantConversionError);
}

TEST(VariantConversionTest, ConvertsToDoubleBooleanAndText) {
  EXPECT_EQ(Text(u"-2.5").ToDouble(), -2.5);
  EXPECT_EQ(Text(u"+1E2").ToDouble(), 100.0);
  EXPECT_EQ(Text(u"1e-400").ToDouble(), 0.0);
  EXPECT_EQ(Variant::FromBoolean(true).ToDouble(), -1.0);

  EXPECT_TRUE(Number(0.25).ToBoolean());
  EXPECT_FALSE(Number(0).ToBoolean());
  EXPECT_TRUE(Text(u"TRUE").ToBoolean());
  EXPECT_FALSE(Text(u"False").ToBoolean());
  EXPECT_FALSE(Text(u"0").ToBoolean());
  EXPECT_TRUE(Text(u"-0.5").ToBoolean());

  EXPECT_EQ(Number(8212).ToText(), u"8212");
  EXPECT_EQ(Number(0.1).ToText(), u"0.1");
  EXPECT_EQ(Number(0.00001).ToText(), u"1E-5");
  EXPECT_EQ(Variant::FromBoolean(false).ToText(), u"false");
  EXPECT_EQ(Text(u"\u6253\u5370").ToText(), u"\u6253\u5370");
}

TEST(VariantConversionTest, ReportsValuesWithoutTheRequestedForm) {
  EXPECT_EQ(FailureOf([] { Variant::Null().ToDouble(); }),
            "Could not convert variant of type (Null) into type (Double)");
  EXPECT_EQ(FailureOf([] { Variant::Null().ToBoolean(); }),
            "Could not convert variant of type (Null) into type (Boolean)");
  EXPECT_EQ(FailureOf([] { Variant::Null().ToText(); }),
            "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(FailureOf([] { Text(u"abc").ToDouble(); }),
            "Could not convert variant of type (String) into type (Double)");
  EXPECT_EQ(FailureOf([] { Text(u"1e400").ToDouble(); }),
            "Overflow while converting variant of type (String) into type (Double)");
  EXPECT_EQ(FailureOf([] { Text(u"yes").ToBoolean(); }),
            "Could not convert variant of type (String) into type (Boolean)");
}

}  // namespace
}  // namespace pavix
