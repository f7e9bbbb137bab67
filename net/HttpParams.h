#pragma once

#include <string>
#include <string_view>

#include "NameValueList.h"

// Query strings and form bodies: "a=1&b=x+y%21" into one line per piece.
namespace pavix::net {

// Each "&"-separated piece, empty ones included, becomes one line of the
// list: "+" reads as a space, %XX as that byte and %uXXXX as that UTF-16
// unit; an escape whose digits are not hexadecimal is dropped. The bytes are
// read in `charset` (UTF-8 when it names UTF-8, else one byte per
// character) and the lines are in the system code page. Names and values are
// told apart only when looked up, at the first "=".
NameValueList DecodeParams(std::string_view text, std::string_view charset);

// "%XX" escapes of a request path decoded, in the system code page.
std::string DecodePath(std::string_view path);

}  // namespace pavix::net
