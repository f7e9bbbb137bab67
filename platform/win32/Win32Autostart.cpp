#include "Autostart.h"
#include "Registry.h"

namespace pavix::platform {

namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\Run";

}  // namespace

bool WriteAutostartEntry(std::string_view entryName, std::string_view exePath) {
  // The 64-bit view even from the 32-bit build: the entry then sits in the
  // machine's main Run key, not in its 32-bit mirror under WOW6432Node, and
  // does not move when the build does. 32-bit Windows ignores the flag.
  const auto key = SystemRegistry().CreateKey(kRunKey, kKeyAllAccess | kKeyWow64_64Key);
  return key != nullptr && key->SetString(entryName, exePath);
}

}  // namespace pavix::platform
