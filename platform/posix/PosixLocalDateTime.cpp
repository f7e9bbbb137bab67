// The user's date and time formats on POSIX: D_FMT and T_FMT of the locale
// that the environment names (LC_ALL, LC_TIME, LANG), read through a locale
// object of our own so that no setlocale of anyone else's changes them and
// every thread may format at once.
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <array>
#include <cstring>
#include <ctime>

#include "CodePage.h"
#include "LocalDateTime.h"

namespace pavix::platform {

namespace {

class UserLocale {
 public:
  UserLocale() {
    constexpr int kMask = LC_TIME_MASK | LC_CTYPE_MASK;
    handle_ = ::newlocale(kMask, "", static_cast<locale_t>(0));
    // A locale the environment names but the machine lacks: the C formats.
    if (handle_ == static_cast<locale_t>(0)) handle_ = ::newlocale(kMask, "C", static_cast<locale_t>(0));
  }
  ~UserLocale() {
    if (handle_ != static_cast<locale_t>(0)) ::freelocale(handle_);
  }
  UserLocale(const UserLocale&) = delete;
  UserLocale& operator=(const UserLocale&) = delete;

  // (locale_t)0 only when even the C locale could not be made.
  locale_t Handle() const { return handle_; }

 private:
  locale_t handle_;
};

const UserLocale& Locale() {
  static const UserLocale locale;
  return locale;
}

// Days since 1970-01-01 of a Gregorian date (valid for every year).
long long DaysFromCivil(int year, int month, int day) {
  const long long y = year - (month <= 2 ? 1 : 0);
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yearOfEra = y - era * 400;
  const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::tm ToTm(const CalendarDateTime& moment) {
  std::tm tm{};
  tm.tm_year = moment.year - 1900;
  tm.tm_mon = moment.month - 1;
  tm.tm_mday = moment.day;
  tm.tm_hour = moment.hour;
  tm.tm_min = moment.minute;
  tm.tm_sec = moment.second;
  const long long days = DaysFromCivil(moment.year, moment.month, moment.day);
  tm.tm_wday = static_cast<int>(((days % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(moment.year, 1, 1));
  tm.tm_isdst = 0;
  return tm;
}

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Month names and the like come in the locale's character set.
std::string ToSystemCodePage(const std::string& text, const char* codeset) {
  if (IsAscii(text)) return text;
  const std::string to = SystemCodePageName() + "//TRANSLIT";
  const iconv_t cd = ::iconv_open(to.c_str(), codeset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 4 + 16, '\0');
  auto* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  const bool done = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  ::iconv_close(cd);
  if (!done) return text;
  out.resize(out.size() - outLeft);
  return out;
}

std::string Format(const CalendarDateTime& moment, nl_item item, const char* cFormat) {
  const std::tm tm = ToTm(moment);
  std::array<char, 256> buffer{};
  const locale_t locale = Locale().Handle();
  if (locale == static_cast<locale_t>(0)) {
    return std::string(buffer.data(), std::strftime(buffer.data(), buffer.size(), cFormat, &tm));
  }
  const char* format = ::nl_langinfo_l(item, locale);
  if (format == nullptr || *format == '\0') format = cFormat;
  const std::size_t length = ::strftime_l(buffer.data(), buffer.size(), format, &tm, locale);
  return ToSystemCodePage(std::string(buffer.data(), length), ::nl_langinfo_l(CODESET, locale));
}

}  // namespace

CalendarDateTime LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

std::string ShortDateText(const CalendarDateTime& moment) { return Format(moment, D_FMT, "%m/%d/%y"); }

std::string LongTimeText(const CalendarDateTime& moment) { return Format(moment, T_FMT, "%H:%M:%S"); }

}  // namespace pavix::platform
