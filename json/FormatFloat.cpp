#include "FormatFloat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace pavix {

namespace {

constexpr int kSignificantDigits = 15;

// The exponent to_chars writes after the "e": a sign, then digits.
int ParseExponent(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  int magnitude = 0;
  std::from_chars(text.data(), text.data() + text.size(), magnitude);
  return negative ? -magnitude : magnitude;
}

}  // namespace

std::string FormatFloat15(long double value) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";  // also -0, which is not negative
  // Integers of up to 15 digits are written in full, as the general rule
  // below would: the common case (bytes of print jobs, ports) goes straight.
  if (std::fabs(value) < 1e15L && value == std::trunc(value)) {
    std::array<char, 24> integer{};
    const auto written = std::to_chars(integer.data(), integer.data() + integer.size(), static_cast<long long>(value));
    return std::string(integer.data(), written.ptr);
  }

  // to_chars rounds correctly from the full 80-bit value and never consults
  // the locale, unlike printf. The result is "[-]d.dddddddddddddde(+|-)x".
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view scientific(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));

  const std::size_t exponentMark = scientific.find('e');
  std::string digits;
  for (const char c : scientific.substr(0, exponentMark)) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // Decimal exponent of the value as 0.d1d2... x 10^exponent.
  const int exponent = ParseExponent(scientific.substr(exponentMark + 1)) + 1;

  std::string text = value < 0 ? "-" : "";
  if (exponent >= -3 && exponent <= kSignificantDigits) {
    if (exponent <= 0) {
      text += "0.";
      text.append(static_cast<std::size_t>(-exponent), '0');
      text += digits;
    } else {
      const auto integerDigits = static_cast<std::size_t>(exponent);
      if (digits.size() < integerDigits) digits.append(integerDigits - digits.size(), '0');
      text += digits.substr(0, integerDigits);
      if (digits.size() > integerDigits) text += "." + digits.substr(integerDigits);
    }
  } else {
    text += digits[0];
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += "E" + std::to_string(exponent - 1);
  }
  return text;
}

}  // namespace pavix
