#include "FormatFloat.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <string>

namespace pavix {
namespace {

struct FormatCase {
  long double value;
  const char* text;
};

TEST(FormatFloat15Test, WritesTheGeneralFormat) {
  const FormatCase cases[] = {
      {8212, "8212"},
      {0.5L, "0.5"},
      {0.05L, "0.05"},
      {0.001L, "0.001"},
      {0.0001L, "0.0001"},  // lowest exponent still written fixed
      {0.00001L, "1E-5"},
      {1234.5L, "1234.5"},
      {123456789012345.0L, "123456789012345"},
      {100000000000000.0L, "100000000000000"},  // highest exponent still written fixed
      {999999999999999.0L, "999999999999999"},  // the largest integer written in full
      {-8212, "-8212"},
      {1e15L, "1E15"},
      {1.5e-7L, "1.5E-7"},
      {-1e20L, "-1E20"},
      {1.0L / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},            // rounded, not cut off
      {999999999999999.5L, "1E15"},               // rounding carries into a new digit
      {123456789012345678.0L, "1.23456789012346E17"},
      {0.1, "0.1"},  // a double's binary error stays below 15 digits
      {-0.25L, "-0.25"},
      {0, "0"},
      {-0.0L, "0"},
      {1e-4000L, "1E-4000"},  // beyond a double: the extended range is kept
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFloat15(c.value), c.text) << "value " << static_cast<double>(c.value);
  }
}

TEST(FormatFloat15Test, WritesNonFiniteValuesAsWords) {
  EXPECT_EQ(FormatFloat15(std::numeric_limits<long double>::quiet_NaN()), "NAN");
  EXPECT_EQ(FormatFloat15(std::numeric_limits<long double>::infinity()), "INF");
  EXPECT_EQ(FormatFloat15(-std::numeric_limits<long double>::infinity()), "-INF");
}

// A locale whose decimal separator is a comma must not leak into numbers.
TEST(FormatFloat15Test, IgnoresTheLocaleDecimalSeparator) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const char* commaLocales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "German_Germany.1252", "German"};
  const char* chosen = nullptr;
  for (const char* name : commaLocales) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr && *std::localeconv()->decimal_point == ',') {
      chosen = name;
      break;
    }
  }
  if (chosen == nullptr) {
    std::setlocale(LC_NUMERIC, previous.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const std::string half = FormatFloat15(0.5L);
  const std::string small = FormatFloat15(1.5e-7L);
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(half, "0.5") << "under " << chosen;
  EXPECT_EQ(small, "1.5E-7") << "under " << chosen;
}

}  // namespace
}  // namespace pavix
