#pragma once

#include <string>
#include <string_view>

// Small ASCII text helpers of the HTTP code.
namespace pavix::net {

std::string_view Trim(std::string_view text);
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace pavix::net
