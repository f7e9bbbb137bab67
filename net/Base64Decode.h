#pragma once

#include <string>
#include <string_view>

namespace pavix::net {

// Standard Base64 to bytes; characters outside the alphabet are skipped and
// decoding stops at the first "=".
std::string Base64Decode(std::string_view text);

}  // namespace pavix::net
