#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pavix {

// The date form of JSON strings, /Date(milliseconds)/, counted from
// 1970-01-01 08:00:00 (UTC+8, whatever the machine's zone). For string bytes
// that begin with "/Date(" and are at least 7 bytes long: the moment written
// in the machine's short date and long time formats, in the system code page.
// The time is left out at exactly 00:00:00, the date on 1899-12-30 (day zero
// of the calendar the clients count from). Bytes from the 7th to the third
// last are the milliseconds, 0 when they are no integer; the last two are not
// looked at. nullopt when the bytes are no date, or name a moment outside the
// years 1 to 9999, which no calendar text can show: they then stay as they are.
std::optional<std::string> ConvertDateText(std::string_view bytes);

}  // namespace pavix
