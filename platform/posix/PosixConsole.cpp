#include <unistd.h>

#include "Console.h"

namespace pavix::platform {

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

}  // namespace pavix::platform
