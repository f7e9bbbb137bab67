#pragma once

#include <string>

namespace pavix::platform {

// The system's message for a Windows error code, in the system code page and
// without the line break the system ends it with.
std::string Win32ErrorText(unsigned long code);

}  // namespace pavix::platform
