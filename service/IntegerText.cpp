#include "IntegerText.h"

#include <charconv>

namespace pavix {

std::int32_t StrToInt(const std::string& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) throw IntegerConversionError(text);
  if (text[start] == '+') ++start;
  std::int32_t value = 0;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(first, last, value);
  // from_chars reads "-" itself but not "+"; "+-1" must still fail.
  if (error != std::errc() || end != last || (start > 0 && text[start - 1] == '+' && *first == '-')) {
    throw IntegerConversionError(text);
  }
  return value;
}

}  // namespace pavix
