#pragma once

#include <string_view>

// Comparing names in the system code page, such as printer names.
namespace pavix::platform {

// Equal but for the case of ASCII letters. The second byte of a double-byte
// character is compared as it is: in GBK it may have the value of an ASCII
// letter, and folding it would make two different characters one.
bool SameSystemTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace pavix::platform
