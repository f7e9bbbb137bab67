#include <windows.h>
#include <shellapi.h>

#include "Browser.h"

namespace pavix::platform {

void OpenWebAddress(const std::string& url) {
  // The "open" verb on a web address starts the user's default browser.
  ::ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace pavix::platform
