#include "DecimalToFloat.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "BigUnsigned.h"

namespace pavix {

namespace {

// The x86 extended format: a 64-bit significand with an explicit leading bit,
// a 15-bit exponent biased by 16383 and a sign, in the first ten bytes.
constexpr bool kExtended80 = std::numeric_limits<long double>::digits == 64 &&
                             std::numeric_limits<long double>::max_exponent == 16384 &&
                             std::endian::native == std::endian::little;

// A result is significand x 2^exponent. Below this exponent there are no
// bits left: 2^-16445 is the smallest subnormal.
constexpr int kMinExponent = -16445;
constexpr int kExponentBias = 16383 + 63;  // biased exponent of significand x 2^exponent
constexpr int kMaxBiasedExponent = 32766;
// Decimal magnitudes (digit count + decimal exponent) that decide the result
// without arithmetic: above 4934 the value is at least 10^4934, too large;
// at -4951 or below it is under half the smallest subnormal and rounds to zero.
constexpr std::int64_t kOverflowMagnitude = 4934;
constexpr std::int64_t kUnderflowMagnitude = -4951;
// The exact midpoint between two neighbouring long doubles has at most
// 11 515 significant digits, so digits beyond this many can only break a tie.
constexpr std::size_t kMaxDigits = 11600;

// A literal as digits x 10^exponent.
struct Decimal {
  bool negative = false;
  std::string digits;         // significant digits, no leading or trailing zeros; empty for zero
  std::int64_t exponent = 0;  // of the last kept digit
  bool truncated = false;     // non-zero digits were dropped after the kept ones

  std::int64_t Magnitude() const { return static_cast<std::int64_t>(digits.size()) + exponent; }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

Decimal ParseLiteral(std::string_view literal) {
  Decimal d;
  std::size_t pos = 0;
  if (pos < literal.size() && (literal[pos] == '+' || literal[pos] == '-')) d.negative = literal[pos++] == '-';
  const auto take = [&d](char digit, bool fraction) {
    if (d.digits.empty() && digit == '0') {
      if (fraction) --d.exponent;
    } else if (d.digits.size() < kMaxDigits) {
      d.digits.push_back(digit);
      if (fraction) --d.exponent;
    } else {
      d.truncated = d.truncated || digit != '0';
      if (!fraction) ++d.exponent;
    }
  };
  for (; pos < literal.size() && IsDigit(literal[pos]); ++pos) take(literal[pos], false);
  if (pos < literal.size() && literal[pos] == '.') {
    for (++pos; pos < literal.size() && IsDigit(literal[pos]); ++pos) take(literal[pos], true);
  }
  if (pos < literal.size() && (literal[pos] == 'e' || literal[pos] == 'E')) {
    ++pos;
    bool negative = false;
    if (pos < literal.size() && (literal[pos] == '+' || literal[pos] == '-')) negative = literal[pos++] == '-';
    std::int64_t exponent = 0;
    for (; pos < literal.size() && IsDigit(literal[pos]); ++pos) {
      // Far beyond every range already, and far from overflowing.
      if (exponent < 1'000'000'000'000) exponent = exponent * 10 + (literal[pos] - '0');
    }
    d.exponent += negative ? -exponent : exponent;
  }
  while (!d.digits.empty() && d.digits.back() == '0') {
    d.digits.pop_back();
    ++d.exponent;
  }
  return d;
}

long double SignedZero(bool negative) { return negative ? -0.0L : 0.0L; }

// significand x 2^exponent; the significand has its top bit set, or the
// exponent is kMinExponent (a subnormal or zero). nullopt beyond the range.
std::optional<long double> Assemble(bool negative, std::uint64_t significand, int exponent) {
  unsigned biased = 0;
  if ((significand >> 63) != 0) {
    const int value = exponent + kExponentBias;
    if (value > kMaxBiasedExponent) return std::nullopt;
    biased = static_cast<unsigned>(value);
  }
  std::array<unsigned char, sizeof(long double)> bytes{};
  for (int i = 0; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(significand >> (8 * i));
  const unsigned top = biased | (negative ? 0x8000u : 0u);
  bytes[8] = static_cast<unsigned char>(top & 0xFF);
  bytes[9] = static_cast<unsigned char>(top >> 8);
  long double value;
  std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

// Rounds significand x 2^exponent, which is below 2^64 x 2^exponent, up by
// one unit; a carry out of the top bit moves the exponent.
void RoundUp(std::uint64_t& significand, int& exponent) {
  if (++significand == 0) {
    significand = std::uint64_t{1} << 63;
    ++exponent;
  }
}

// ---- Exact conversion with big integers ----

std::optional<long double> ExactValue(const Decimal& d) {
  BigUnsigned a;
  for (std::size_t i = 0; i < d.digits.size(); i += 9) {
    const std::size_t length = std::min<std::size_t>(9, d.digits.size() - i);
    std::uint32_t chunk = 0;
    std::uint32_t scale = 1;
    for (std::size_t k = 0; k < length; ++k) {
      chunk = chunk * 10 + static_cast<std::uint32_t>(d.digits[i + k] - '0');
      scale *= 10;
    }
    a.MultiplyAdd(scale, chunk);
  }
  BigUnsigned b(1);
  if (d.exponent >= 0) {
    a.MultiplyByPowerOfTen(static_cast<int>(d.exponent));
  } else {
    b.MultiplyByPowerOfTen(static_cast<int>(-d.exponent));
  }
  // The value is a / b. Find the scale s that puts a x 2^s / b in [2^63, 2^64).
  int s = 63 - (a.BitLength() - b.BitLength());
  {
    BigUnsigned scaledA = a;
    BigUnsigned scaledB = b;
    if (s >= 0) scaledA.ShiftLeft(s); else scaledB.ShiftLeft(-s);
    scaledB.ShiftLeft(63);
    if (BigUnsigned::Compare(scaledA, scaledB) < 0) ++s;
  }
  if (s > -kMinExponent) s = -kMinExponent;  // subnormal: fewer significant bits
  if (s >= 0) a.ShiftLeft(s); else b.ShiftLeft(-s);
  std::uint64_t significand = BigUnsigned::DivideSmallQuotient(a, b, 64);
  int exponent = -s;
  // a now holds the remainder: compare it with half the divisor.
  a.ShiftLeft(1);
  const int half = BigUnsigned::Compare(a, b);
  if (half > 0 || (half == 0 && (d.truncated || (significand & 1) != 0))) RoundUp(significand, exponent);
  return Assemble(d.negative, significand, exponent);
}

// ---- Fast approximation with 128-bit significands ----

struct U128 {
  std::uint64_t hi = 0;
  std::uint64_t lo = 0;
};

bool Less(const U128& a, const U128& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }

U128 Minus(const U128& a, const U128& b) {
  return {a.hi - b.hi - (a.lo < b.lo ? 1u : 0u), a.lo - b.lo};
}

// Full product through 32-bit halves: 32-bit targets have no 128-bit type.
U128 Multiply64(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
  const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
  const std::uint64_t low = aLow * bLow, cross1 = aLow * bHigh, cross2 = aHigh * bLow, high = aHigh * bHigh;
  const std::uint64_t middle = (low >> 32) + (cross1 & 0xFFFFFFFFu) + (cross2 & 0xFFFFFFFFu);
  return {high + (cross1 >> 32) + (cross2 >> 32) + (middle >> 32), (middle << 32) | (low & 0xFFFFFFFFu)};
}

// significand x 2^exponent with the top bit of the significand set.
struct Approx {
  U128 significand;
  int exponent = 0;
};

Approx Normalized(U128 value, int exponent) {
  const int shift = value.hi != 0 ? std::countl_zero(value.hi) : 64 + std::countl_zero(value.lo);
  if (shift >= 64) {
    value = {value.lo, 0};
    exponent -= 64;
  }
  const int rest = shift % 64;
  if (rest != 0) value = {(value.hi << rest) | (value.lo >> (64 - rest)), value.lo << rest};
  return {value, exponent - rest};
}

// The product cut to 128 bits: below one unit of the last place too small.
Approx Multiply(const Approx& x, const Approx& y) {
  const U128 hh = Multiply64(x.significand.hi, y.significand.hi);
  const U128 hl = Multiply64(x.significand.hi, y.significand.lo);
  const U128 lh = Multiply64(x.significand.lo, y.significand.hi);
  const U128 ll = Multiply64(x.significand.lo, y.significand.lo);
  // words[3..0] of the 256-bit product
  std::uint64_t words[4] = {ll.lo, 0, 0, 0};
  std::uint64_t carry = 0;
  const auto add = [&carry](std::uint64_t& word, std::uint64_t value) {
    word += value;
    carry += word < value ? 1u : 0u;
  };
  words[1] = ll.hi;
  add(words[1], hl.lo);
  add(words[1], lh.lo);
  words[2] = carry;
  carry = 0;
  add(words[2], hh.lo);
  add(words[2], hl.hi);
  add(words[2], lh.hi);
  words[3] = hh.hi + carry;
  const int exponent = x.exponent + y.exponent + 128;
  if ((words[3] >> 63) != 0) return {{words[3], words[2]}, exponent};
  return {{(words[3] << 1) | (words[2] >> 63), (words[2] << 1) | (words[1] >> 63)}, exponent - 1};
}

// Rounds the top 128 bits of value to nearest into an Approx.
Approx RoundedTop(const BigUnsigned& value, int scale) {
  const int length = value.BitLength();
  U128 top{value.BitsAt(length - 64), value.BitsAt(length - 128)};
  int exponent = length - 128 + scale;
  const int roundBit = length - 129;
  if (roundBit >= 0 && ((value.BitsAt(roundBit) & 1) != 0) &&
      (value.AnyBitBelow(roundBit) || (top.lo & 1) != 0)) {
    if (++top.lo == 0 && ++top.hi == 0) {
      top.hi = std::uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {top, exponent};
}

// 10^(2^i) and 10^-(2^i) for i = 0..12, each rounded to 128 bits: every
// decimal exponent within the range of long double is a product of at most
// 13 of them.
struct PowerTable {
  static constexpr int kCount = 13;
  std::array<Approx, kCount> positive;
  std::array<Approx, kCount> negative;

  PowerTable() {
    for (int i = 0; i < kCount; ++i) {
      BigUnsigned power(1);
      power.MultiplyByPowerOfTen(1 << i);
      positive[static_cast<std::size_t>(i)] = RoundedTop(power, 0);
      // 2^k / 10^n with k chosen for a 128-bit quotient, divided in two halves.
      const int k = power.BitLength() + 127;
      BigUnsigned dividend(1);
      dividend.ShiftLeft(k);
      BigUnsigned shifted = power;
      shifted.ShiftLeft(64);
      U128 quotient;
      quotient.hi = BigUnsigned::DivideSmallQuotient(dividend, shifted, 64);
      quotient.lo = BigUnsigned::DivideSmallQuotient(dividend, power, 64);
      dividend.ShiftLeft(1);
      int exponent = -k;
      if (BigUnsigned::Compare(dividend, power) > 0 && ++quotient.lo == 0 && ++quotient.hi == 0) {
        quotient.hi = std::uint64_t{1} << 63;
        ++exponent;
      }
      negative[static_cast<std::size_t>(i)] = {quotient, exponent};
    }
  }
};

const PowerTable& Powers() {
  static const PowerTable table;
  return table;
}

// Below this distance (in units of the 128-bit result's last place) from a
// rounding boundary the approximation cannot decide; its error is at most
// about 100 units.
constexpr std::uint64_t kUndecidedMargin = 1u << 12;

// Rounds value (top bit set) after dropping its low `drop` bits, 64 <= drop <= 128.
// false when the approximation is too close to a tie to tell.
bool RoundDropping(const U128& value, int drop, std::uint64_t& significand, bool& up) {
  const int inHigh = drop - 64;  // bits of the high word that are dropped too
  significand = inHigh == 64 ? 0 : value.hi >> inHigh;
  const U128 rest{inHigh == 64 ? value.hi : value.hi & ((std::uint64_t{1} << inHigh) - 1), value.lo};
  const U128 half = drop - 1 >= 64 ? U128{std::uint64_t{1} << (drop - 65), 0} : U128{0, std::uint64_t{1} << 63};
  const U128 distance = Less(rest, half) ? Minus(half, rest) : Minus(rest, half);
  if (distance.hi == 0 && distance.lo <= kUndecidedMargin) return false;
  up = Less(half, rest);
  return true;
}

// The approximation's answer: a value, too large (no value), or undecided.
struct Outcome {
  bool decided = false;
  std::optional<long double> value;
};

Outcome ApproximateValue(const Decimal& d) {
  // Up to 38 digits fit 128 bits; further digits change the value by less
  // than the approximation's own error.
  const std::size_t used = std::min<std::size_t>(d.digits.size(), 38);
  U128 mantissa;
  for (std::size_t i = 0; i < used; ++i) {
    const U128 times8{(mantissa.hi << 3) | (mantissa.lo >> 61), mantissa.lo << 3};
    const U128 times2{(mantissa.hi << 1) | (mantissa.lo >> 63), mantissa.lo << 1};
    const std::uint64_t lo = times8.lo + times2.lo;
    std::uint64_t hi = times8.hi + times2.hi + (lo < times8.lo ? 1u : 0u);
    const auto digit = static_cast<std::uint64_t>(d.digits[i] - '0');
    const std::uint64_t sum = lo + digit;
    hi += sum < lo ? 1u : 0u;
    mantissa = {hi, sum};
  }
  const std::int64_t exponent10 = d.exponent + static_cast<std::int64_t>(d.digits.size() - used);
  const PowerTable& powers = Powers();
  Approx value = Normalized(mantissa, 0);
  const auto& factors = exponent10 < 0 ? powers.negative : powers.positive;
  const std::uint64_t magnitude = static_cast<std::uint64_t>(exponent10 < 0 ? -exponent10 : exponent10);
  for (int i = 0; i < PowerTable::kCount; ++i) {
    if (((magnitude >> i) & 1) != 0) value = Multiply(value, factors[static_cast<std::size_t>(i)]);
  }

  // value ~ significand x 2^(exponent + 64), fewer bits when subnormal.
  int exponent = value.exponent + 64;
  int drop = 64;
  if (exponent < kMinExponent) {
    drop += kMinExponent - exponent;
    exponent = kMinExponent;
  }
  if (drop > 129) return {true, SignedZero(d.negative)};  // below a quarter of the smallest subnormal
  if (drop == 129) return {};                             // near half of it: left to the exact path
  std::uint64_t significand = 0;
  bool up = false;
  if (!RoundDropping(value.significand, drop, significand, up)) return {};
  if (up) RoundUp(significand, exponent);
  return {true, Assemble(d.negative, significand, exponent)};
}

std::optional<long double> LibraryValue(std::string_view literal, const Decimal& d) {
  if (!literal.empty() && literal[0] == '+') literal.remove_prefix(1);
  long double value = 0;
  const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (d.Magnitude() < 0) return SignedZero(d.negative);
    return std::nullopt;
  }
  return value;
}

std::optional<long double> Convert(std::string_view literal, bool exactOnly) {
  const Decimal d = ParseLiteral(literal);
  if (d.digits.empty() || d.Magnitude() <= kUnderflowMagnitude) return SignedZero(d.negative);
  if (d.Magnitude() > kOverflowMagnitude) return std::nullopt;
  // Elsewhere long double is another format, which the library converts.
  if (!kExtended80) return LibraryValue(literal, d);
  // Integers below 10^19: exact in 64 bits.
  if (!exactOnly && d.exponent >= 0 && d.Magnitude() <= 19) {
    std::uint64_t integer = 0;
    for (const char digit : d.digits) integer = integer * 10 + static_cast<std::uint64_t>(digit - '0');
    for (std::int64_t i = 0; i < d.exponent; ++i) integer *= 10;
    const int shift = std::countl_zero(integer);
    return Assemble(d.negative, integer << shift, -shift);
  }
  if (!exactOnly) {
    const Outcome approximate = ApproximateValue(d);
    if (approximate.decided) return approximate.value;
  }
  return ExactValue(d);
}

}  // namespace

std::optional<long double> DecimalToLongDouble(std::string_view literal) { return Convert(literal, false); }

namespace detail {
std::optional<long double> DecimalToLongDoubleExact(std::string_view literal) { return Convert(literal, true); }
}  // namespace detail

}  // namespace pavix
