#include "JsonDateText.h"

#include <cstdint>

#include "LocalDateTime.h"

namespace pavix {

namespace {

constexpr std::string_view kPrefix = "/Date(";
constexpr std::int64_t kSecondsPerDay = 86400;
// From 1899-12-30 00:00:00 to 1970-01-01 08:00:00.
constexpr std::int64_t kEpochSeconds = 25569 * kSecondsPerDay + 8 * 3600;
// Days from 1899-12-30 of 0001-01-01 and of 9999-12-31.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kLastDay = 2958465;

// [+-]digits within 64 bits, else 0.
std::int64_t MillisecondsOf(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return 0;
  // Accumulated as a negative number, which reaches one further than a positive one.
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return 0;
    const int digit = c - '0';
    if (value < (INT64_MIN + digit) / 10) return 0;
    value = value * 10 - digit;
  }
  if (!negative) return value == INT64_MIN ? 0 : -value;
  return value;
}

std::int64_t FloorDivide(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0); }

// Gregorian date of a day counted from 1970-01-01.
void CivilFromDays(std::int64_t days, platform::CalendarDateTime& moment) {
  days += 719468;
  const std::int64_t era = FloorDivide(days, 146097);
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  moment.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  moment.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  moment.year = static_cast<int>(yearOfEra + era * 400 + (moment.month <= 2 ? 1 : 0));
}

}  // namespace

std::optional<std::string> ConvertDateText(std::string_view bytes) {
  if (bytes.size() < kPrefix.size() + 1 || bytes.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  const std::size_t end = bytes.size() - 2;
  const std::string_view digits = end > kPrefix.size() ? bytes.substr(kPrefix.size(), end - kPrefix.size()) : "";
  // Within 64 bits: |milliseconds / 1000| < 2^54, far from the edge.
  const std::int64_t seconds = kEpochSeconds + MillisecondsOf(digits) / 1000;
  const std::int64_t day = FloorDivide(seconds, kSecondsPerDay);
  if (day < kFirstDay || day > kLastDay) return std::nullopt;
  const std::int64_t secondOfDay = seconds - day * kSecondsPerDay;

  platform::CalendarDateTime moment;
  CivilFromDays(day - 25569, moment);
  moment.hour = static_cast<int>(secondOfDay / 3600);
  moment.minute = static_cast<int>(secondOfDay / 60 % 60);
  moment.second = static_cast<int>(secondOfDay % 60);
  if (day == 0) return platform::LongTimeText(moment);
  if (secondOfDay == 0) return platform::ShortDateText(moment);
  return platform::ShortDateLongTimeText(moment);
}

}  // namespace pavix
