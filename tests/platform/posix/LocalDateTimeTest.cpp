// The user's formats come from the locale the environment names, chosen once
// per process: each run sets LC_ALL, to C or to a locale the machine lacks.
#include <gtest/gtest.h>

#include "LocalDateTime.h"

namespace pavix::platform {
namespace {

TEST(LocalDateTimeTest, WritesTheCFormatsWhenTheLocaleIsCOrMissing) {
  struct Case {
    CalendarDateTime moment;
    const char* date;
    const char* time;
  };
  const Case cases[] = {
      {{1970, 1, 1, 8, 0, 0}, "01/01/70", "08:00:00"},
      {{2023, 11, 15, 23, 59, 7}, "11/15/23", "23:59:07"},
      {{1, 1, 1, 0, 0, 0}, "01/01/01", "00:00:00"},
      {{9999, 12, 31, 12, 34, 56}, "12/31/99", "12:34:56"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortDateText(c.moment), c.date);
    EXPECT_EQ(LongTimeText(c.moment), c.time);
    EXPECT_EQ(ShortDateLongTimeText(c.moment), std::string(c.date) + " " + c.time);
  }
}

}  // namespace
}  // namespace pavix::platform
