#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pavix {

// Base64 with the standard alphabet and "=" padding, in one line.
std::string EncodeBase64(std::string_view bytes);

// The bytes of a Base64 text in one line; none when a character is outside
// the alphabet, the padding is wrong or the length is not a multiple of four.
std::optional<std::string> DecodeBase64(std::string_view text);

}  // namespace pavix
