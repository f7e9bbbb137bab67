#pragma once

#include <string>

// Dates and times as the user has chosen to see them: the short date format
// and the long time format of the user's locale, as text in the system code
// page. The formats are the machine's; the moment is given, never converted
// between time zones.
namespace pavix::platform {

// A date and a wall-clock time of the Gregorian calendar (years 1 to 9999).
struct CalendarDateTime {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

std::string ShortDateText(const CalendarDateTime& moment);
std::string LongTimeText(const CalendarDateTime& moment);

// The local wall-clock time now, to the second.
CalendarDateTime LocalNow();

// The short date, one space, the long time.
inline std::string ShortDateLongTimeText(const CalendarDateTime& moment) {
  return ShortDateText(moment) + " " + LongTimeText(moment);
}

}  // namespace pavix::platform
