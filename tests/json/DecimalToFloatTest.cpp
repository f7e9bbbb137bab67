#include "DecimalToFloat.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace pavix {
namespace {

using Limits = std::numeric_limits<long double>;

// Equal, zeros of different sign told apart.
bool Same(long double a, long double b) { return a == b && std::signbit(a) == std::signbit(b); }

std::string Hex(long double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::hex);
  return std::string(buffer, result.ptr);
}

// The exact decimal digits of factor x 5^power, so that
// digits + "e-" + power is exactly factor x 2^-power.
std::string DigitsTimesPowerOfFive(std::uint32_t factor, int power) {
  std::vector<std::uint32_t> limbs{factor};  // base 10^9, least significant first
  for (int i = 0; i < power; ++i) {
    std::uint64_t carry = 0;
    for (auto& limb : limbs) {
      const std::uint64_t product = std::uint64_t{limb} * 5 + carry;
      limb = static_cast<std::uint32_t>(product % 1'000'000'000);
      carry = product / 1'000'000'000;
    }
    if (carry != 0) limbs.push_back(static_cast<std::uint32_t>(carry));
  }
  std::string digits = std::to_string(limbs.back());
  for (std::size_t i = limbs.size() - 1; i-- > 0;) {
    const std::string part = std::to_string(limbs[i]);
    digits += std::string(9 - part.size(), '0') + part;
  }
  return digits;
}

// Both ways of converting must give the expected value.
void ExpectValue(const std::string& literal, std::optional<long double> expected) {
  const std::string shown = literal.size() > 60 ? literal.substr(0, 40) + "... (" + std::to_string(literal.size()) + " bytes)" : literal;
  for (const bool exact : {false, true}) {
    const auto value = exact ? detail::DecimalToLongDoubleExact(literal) : DecimalToLongDouble(literal);
    ASSERT_EQ(value.has_value(), expected.has_value()) << shown << (exact ? " (exact)" : "");
    if (expected) {
      EXPECT_TRUE(Same(*value, *expected))
          << shown << (exact ? " (exact)" : "") << ": " << Hex(*value) << " instead of " << Hex(*expected);
    }
  }
}

TEST(DecimalToFloatTest, GivesTheNearestExtendedFloat) {
  struct Case {
    const char* literal;
    long double value;  // the compiler's own correctly rounded reading
  };
  const Case cases[] = {
      {"0.1", 0.1L},
      {"65.5", 65.5L},
      {"+7", 7.0L},
      {"-0.25", -0.25L},
      {"3.14159265358979323846264338327950288", 3.14159265358979323846264338327950288L},
      {"123456789012345678901234567890", 123456789012345678901234567890.0L},
      {"18446744073709551615", 18446744073709551615.0L},  // 2^64 - 1: all 64 bits
      {"1e-4000", 1e-4000L},
      {"2.2250738585072014e-308", 2.2250738585072014e-308L},
      {"1e-4950", 1e-4950L},  // subnormal
      {"1.18973149535723176502e4932", Limits::max()},
      {"3.6451995318824746025e-4951", Limits::denorm_min()},
      {"3.3621031431120935063e-4932", Limits::min()},
      {"-0", -0.0L},
      {"0e99999", 0.0L},
      {"-1e-4952", -0.0L},  // under half the smallest subnormal
      {"1e-99999999999999999999", 0.0L},
  };
  for (const Case& c : cases) ExpectValue(c.literal, c.value);
}

TEST(DecimalToFloatTest, FailsBeyondTheRange) {
  for (const char* literal : {"1.19e4932", "-1.19e4932", "1e4933", "1e99999999999999999999", "1189731495357231765100000e4908"}) {
    ExpectValue(literal, std::nullopt);
  }
}

// Exact midpoints between neighbours round to the even one; anything past
// a midpoint, however far out in the digits, rounds away from it.
TEST(DecimalToFloatTest, RoundsTiesToEvenAndBeyondTiesAway) {
  ExpectValue("18446744073709551617", 18446744073709551616.0L);  // 2^64 + 1
  ExpectValue("18446744073709551619", 18446744073709551620.0L);  // 2^64 + 3
  ExpectValue("18446744073709551617.00000000000000000001", 18446744073709551618.0L);
  // Digits past the many thousands that can matter are still seen.
  ExpectValue("18446744073709551617." + std::string(20000, '0') + "1", 18446744073709551618.0L);

  // Half the smallest subnormal, 2^-16446, has over 11 000 significant digits.
  const std::string half = DigitsTimesPowerOfFive(1, 16446);
  ASSERT_GT(half.size(), 11000u);
  ExpectValue(half + "e-16446", 0.0L);
  ExpectValue(half + "1e-16447", Limits::denorm_min());
  ExpectValue(half + std::string(300, '0') + "1e-16747", Limits::denorm_min());
  ExpectValue(DigitsTimesPowerOfFive(3, 16446) + "e-16446", 2 * Limits::denorm_min());
}

// The fast approximation and the exact arithmetic agree on literals of every
// length and across the whole range.
TEST(DecimalToFloatTest, FastAndExactPathsAgree) {
  std::mt19937 random(7);
  for (int i = 0; i < 300; ++i) {
    std::string literal = std::to_string(1 + random() % 9);
    const unsigned digits = random() % 45;
    for (unsigned k = 0; k < digits; ++k) literal += static_cast<char>('0' + random() % 10);
    const int exponent = static_cast<int>(random() % 9900) - 4970;
    literal += "e" + std::to_string(exponent);
    const auto fast = DecimalToLongDouble(literal);
    const auto exact = detail::DecimalToLongDoubleExact(literal);
    ASSERT_EQ(fast.has_value(), exact.has_value()) << literal;
    if (fast) {
      EXPECT_TRUE(Same(*fast, *exact)) << literal << ": " << Hex(*fast) << " against " << Hex(*exact);
    }
  }
}

// The shortest digits that the library writes for a value read back as that value.
TEST(DecimalToFloatTest, ReadsBackTheShortestDigitsOfAnyValue) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 3000; ++i) {
    long double value = std::ldexp(static_cast<long double>(random() >> 1), static_cast<int>(random() % 32700) - 16400 - 63);
    if (random() % 2 == 0) value = std::nextafter(value, Limits::infinity());  // the lowest bit set too
    char buffer[128];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    const std::string literal(buffer, written.ptr);
    const auto read = DecimalToLongDouble(literal);
    ASSERT_TRUE(read.has_value()) << literal;
    EXPECT_TRUE(Same(*read, value)) << literal << ": " << Hex(*read) << " instead of " << Hex(value);
  }
}

}  // namespace
}  // namespace pavix
