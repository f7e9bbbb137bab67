#pragma once

#include <string>

namespace pavix::platform {

// A fresh random GUID in registry form: 38 characters, "{" 8-4-4-4-12 "}",
// upper-case hexadecimal.
std::string NewRegistryGuidText();

}  // namespace pavix::platform
