#pragma once

#include <cstddef>
#include <string>

namespace pavix::net {

// Unpredictable bytes from the system's random source, for the handshake
// key and the masking keys: a peer or a proxy must not be able to guess them.
std::string RandomBytes(std::size_t count);

}  // namespace pavix::net
