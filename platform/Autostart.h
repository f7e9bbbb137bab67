#pragma once

#include <string_view>

namespace pavix::platform {

// Makes the system start `exePath` when a user logs on, under the entry name
// `entryName` (system code page). Windows: a value of the 64-bit Run key under
// HKEY_LOCAL_MACHINE. POSIX: an XDG autostart desktop entry in
// /etc/xdg/autostart or PAVIX_AUTOSTART_DIR. False when the entry could not be
// written.
bool WriteAutostartEntry(std::string_view entryName, std::string_view exePath);

}  // namespace pavix::platform
