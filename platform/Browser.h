#pragma once

#include <string>

namespace pavix::platform {

// Opens `url` in the user's default browser without waiting for it.
void OpenWebAddress(const std::string& url);

}  // namespace pavix::platform
