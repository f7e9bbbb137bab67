#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace pavix {

using Sha1Digest = std::array<std::uint8_t, 20>;

// The SHA-1 digest of a whole message. SHA-1 is kept for what a protocol
// requires of it (the WebSocket accept key), never for secrecy.
Sha1Digest Sha1(std::string_view message);

}  // namespace pavix
