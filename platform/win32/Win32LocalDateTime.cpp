// The user's date and time formats on Windows: the short date and the long
// time format of the user's locale, formatted by the system in the ANSI code
// page, which is the system code page.
#include <windows.h>

#include <array>
#include <cstdio>

#include "LocalDateTime.h"

namespace pavix::platform {

namespace {

SYSTEMTIME ToSystemTime(const CalendarDateTime& moment) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(moment.year);
  time.wMonth = static_cast<WORD>(moment.month);
  time.wDay = static_cast<WORD>(moment.day);
  time.wHour = static_cast<WORD>(moment.hour);
  time.wMinute = static_cast<WORD>(moment.minute);
  time.wSecond = static_cast<WORD>(moment.second);
  // Day of the week by Zeller's congruence, Sunday = 0 as SYSTEMTIME counts.
  const int m = moment.month < 3 ? moment.month + 12 : moment.month;
  const int y = moment.month < 3 ? moment.year - 1 : moment.year;
  const int saturdayBased = (moment.day + 13 * (m + 1) / 5 + y + y / 4 - y / 100 + y / 400) % 7;
  time.wDayOfWeek = static_cast<WORD>((saturdayBased + 6) % 7);
  return time;
}

// The system formats no date before 1601: such a moment gets the C formats.
std::string Fallback(const char* format, int a, int b, int c) {
  std::array<char, 32> buffer{};
  const int length = std::snprintf(buffer.data(), buffer.size(), format, a, b, c);
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

CalendarDateTime LocalNow() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string ShortDateText(const CalendarDateTime& moment) {
  const SYSTEMTIME time = ToSystemTime(moment);
  std::array<char, 128> buffer{};
  const int length = ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer.data(),
                                      static_cast<int>(buffer.size()));
  if (length <= 0) return Fallback("%02d/%02d/%02d", moment.month, moment.day, moment.year % 100);
  return std::string(buffer.data(), static_cast<std::size_t>(length - 1));  // without the terminating zero
}

std::string LongTimeText(const CalendarDateTime& moment) {
  const SYSTEMTIME time = ToSystemTime(moment);
  std::array<char, 128> buffer{};
  const int length =
      ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer.data(), static_cast<int>(buffer.size()));
  if (length <= 0) return Fallback("%02d:%02d:%02d", moment.hour, moment.minute, moment.second);
  return std::string(buffer.data(), static_cast<std::size_t>(length - 1));
}

}  // namespace pavix::platform
