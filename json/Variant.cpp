#include "Variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>
#include <system_error>

#include "FormatFloat.h"
#include "JsonErrors.h"

namespace pavix {

namespace {

constexpr const char* kInteger = "Integer";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Number texts are pure ASCII; anything else is not a number.
std::optional<std::string> AsciiOf(std::u16string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (const char16_t unit : text) {
    if (unit >= 0x80) return std::nullopt;
    ascii.push_back(static_cast<char>(unit));
  }
  return ascii;
}

// Consumes one or more digits from `pos`; false when there is none.
bool SkipDigits(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && IsDigit(text[pos])) ++pos;
  return pos > start;
}

std::size_t SkipSign(std::string_view text) {
  return !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
}

bool HasIntegerForm(std::string_view text) {
  std::size_t pos = SkipSign(text);
  return SkipDigits(text, pos) && pos == text.size();
}

// [+-]digits[.digits][(e|E)[+-]digits], the whole text.
bool HasNumberForm(std::string_view text) {
  std::size_t pos = SkipSign(text);
  if (!SkipDigits(text, pos)) return false;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    if (!SkipDigits(text, pos)) return false;
  }
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    pos += SkipSign(text.substr(pos));
    if (!SkipDigits(text, pos)) return false;
  }
  return pos == text.size();
}

// from_chars takes no "+".
std::string_view WithoutPlus(std::string_view text) {
  return !text.empty() && text[0] == '+' ? text.substr(1) : text;
}

// For a number text too large or too small for a double: true when it is too
// small (it then reads as zero), false when too large. Decided by the decimal
// exponent of its leading significant digit.
bool IsBelowRange(std::string_view text) {
  std::size_t pos = SkipSign(text);
  long long magnitude = 0;
  bool seenSignificant = false;
  bool inFraction = false;
  for (; pos < text.size() && text[pos] != 'e' && text[pos] != 'E'; ++pos) {
    if (text[pos] == '.') {
      inFraction = true;
    } else if (!seenSignificant && text[pos] == '0') {
      if (inFraction) --magnitude;
    } else if (!seenSignificant) {
      seenSignificant = true;
      if (inFraction) --magnitude;
    } else if (!inFraction) {
      ++magnitude;
    }
  }
  long long exponent = 0;
  if (pos < text.size()) {
    const std::string_view digits = text.substr(pos + 1 + SkipSign(text.substr(pos + 1)));
    for (const char c : digits) {
      exponent = std::min(exponent * 10 + (c - '0'), 1'000'000'000LL);  // far beyond any range
    }
    if (text[pos + 1] == '-') exponent = -exponent;
  }
  return magnitude + exponent < 0;
}

// The value of a number text; nullopt when it is too large for a double.
std::optional<double> ParseNumberText(std::string_view text) {
  const std::string_view digits = WithoutPlus(text);
  double value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    if (!IsBelowRange(text)) return std::nullopt;
    return text[0] == '-' ? -0.0 : 0.0;
  }
  return value;
}

std::int32_t RoundToInt32(double value, const char* from) {
  if (!std::isfinite(value)) throw VariantOverflowError(from, kInteger);
  // Explicit ties-to-even: the result must not depend on the FPU rounding mode.
  const double floor = std::floor(value);
  const double fraction = value - floor;  // exact for every double
  const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0);
  const double rounded = up ? floor + 1.0 : floor;
  if (rounded < -2147483648.0 || rounded > 2147483647.0) throw VariantOverflowError(from, kInteger);
  return static_cast<std::int32_t>(rounded);
}

std::int32_t TextToInt32(std::u16string_view text) {
  const char* from = VariantTypeName(Variant::Type::String);
  const auto ascii = AsciiOf(text);
  if (ascii && HasIntegerForm(*ascii)) {
    const std::string_view digits = WithoutPlus(*ascii);
    std::int32_t value = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (result.ec != std::errc()) throw VariantOverflowError(from, kInteger);
    return value;
  }
  if (ascii && HasNumberForm(*ascii)) {
    const auto value = ParseNumberText(*ascii);
    if (!value) throw VariantOverflowError(from, kInteger);
    return RoundToInt32(*value, from);
  }
  throw VariantConversionError(from, kInteger);
}

double TextToDouble(std::u16string_view text) {
  const char* from = VariantTypeName(Variant::Type::String);
  const char* to = VariantTypeName(Variant::Type::Double);
  const auto ascii = AsciiOf(text);
  if (!ascii || !HasNumberForm(*ascii)) throw VariantConversionError(from, to);
  const auto value = ParseNumberText(*ascii);
  if (!value) throw VariantOverflowError(from, to);
  return *value;
}

bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view lowerWord) {
  if (text.size() != lowerWord.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != lowerWord[i]) return false;
  }
  return true;
}

bool TextToBoolean(std::u16string_view text) {
  const auto ascii = AsciiOf(text);
  if (ascii && EqualsIgnoringAsciiCase(*ascii, "true")) return true;
  if (ascii && EqualsIgnoringAsciiCase(*ascii, "false")) return false;
  if (ascii && HasNumberForm(*ascii)) {
    const auto value = ParseNumberText(*ascii);
    return !value || *value != 0.0;  // too large for a double is still not zero
  }
  throw VariantConversionError(VariantTypeName(Variant::Type::String), VariantTypeName(Variant::Type::Boolean));
}

std::u16string AsciiToText(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

const char* VariantTypeName(Variant::Type type) {
  switch (type) {
    case Variant::Type::Null: return "Null";
    case Variant::Type::Double: return "Double";
    case Variant::Type::String: return "String";
    case Variant::Type::Boolean: return "Boolean";
  }
  return "Unknown";
}

std::int32_t Variant::ToInt32() const {
  switch (GetType()) {
    case Type::Null: break;
    case Type::Double: return RoundToInt32(std::get<double>(value_), VariantTypeName(Type::Double));
    case Type::String: return TextToInt32(std::get<std::u16string>(value_));
    case Type::Boolean: return std::get<bool>(value_) ? -1 : 0;
  }
  throw VariantConversionError(VariantTypeName(GetType()), kInteger);
}

double Variant::ToDouble() const {
  switch (GetType()) {
    case Type::Null: break;
    case Type::Double: return std::get<double>(value_);
    case Type::String: return TextToDouble(std::get<std::u16string>(value_));
    case Type::Boolean: return std::get<bool>(value_) ? -1.0 : 0.0;
  }
  throw VariantConversionError(VariantTypeName(GetType()), VariantTypeName(Type::Double));
}

bool Variant::ToBoolean() const {
  switch (GetType()) {
    case Type::Null: break;
    case Type::Double: return std::get<double>(value_) != 0.0;
    case Type::String: return TextToBoolean(std::get<std::u16string>(value_));
    case Type::Boolean: return std::get<bool>(value_);
  }
  throw VariantConversionError(VariantTypeName(GetType()), VariantTypeName(Type::Boolean));
}

std::u16string Variant::ToText() const {
  switch (GetType()) {
    case Type::Null: break;
    case Type::Double: return AsciiToText(FormatFloat15(std::get<double>(value_)));
    case Type::String: return std::get<std::u16string>(value_);
    case Type::Boolean: return AsciiToText(std::get<bool>(value_) ? "true" : "false");
  }
  throw VariantConversionError(VariantTypeName(GetType()), VariantTypeName(Type::String));
}

}  // namespace pavix
