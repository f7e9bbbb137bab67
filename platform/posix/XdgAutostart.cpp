// Autostart on POSIX desktops: an XDG autostart entry, which session managers
// run at log-on.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "AtomicFile.h"
#include "Autostart.h"
#include "CodePage.h"

namespace pavix::platform {

namespace {

constexpr const char* kDefaultAutostartDir = "/etc/xdg/autostart";
constexpr const char* kEntryFileName = "pavix-print-server.desktop";

// Exec= takes a command line: a path with reserved characters is quoted, and
// the value itself escapes backslashes again, as desktop entries require.
std::string ExecValue(std::string_view path) {
  bool needsQuotes = path.empty();
  std::string quoted = "\"";
  for (const char c : path) {
    if (std::string_view(" \t\n\"'\\><~|&;$*?#()`").find(c) != std::string_view::npos) needsQuotes = true;
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  std::string value;
  for (const char c : needsQuotes ? quoted : std::string(path)) {
    if (c == '\\') value += '\\';
    if (c == '%') value += '%';
    value += c;
  }
  return value;
}

}  // namespace

bool WriteAutostartEntry(std::string_view entryName, std::string_view exePath) {
  const char* configured = std::getenv("PAVIX_AUTOSTART_DIR");
  const std::filesystem::path folder =
      (configured != nullptr && *configured != '\0') ? configured : kDefaultAutostartDir;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  const std::string entry = "[Desktop Entry]\nType=Application\nName=" + SystemToUtf8(entryName) +
                            "\nExec=" + ExecValue(exePath) + "\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
  return WriteFileAtomically((folder / kEntryFileName).string(), entry, 0644);
}

}  // namespace pavix::platform
