#include <spawn.h>
#include <sys/wait.h>

#include "Browser.h"

extern char** environ;

namespace pavix::platform {

void OpenWebAddress(const std::string& url) {
  // The shell starts xdg-open in the background and ends at once: we wait
  // only for the shell, so no child is left unreaped and none blocks us.
  const char* argv[] = {"sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", url.c_str(), nullptr};
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return;
  int status = 0;
  ::waitpid(pid, &status, 0);
}

}  // namespace pavix::platform
