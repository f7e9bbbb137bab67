#pragma once

#include <string>

namespace pavix::platform {

// The full path of the running program, in the system code page; "" when the
// system cannot tell.
std::string ExecutablePath();

}  // namespace pavix::platform
