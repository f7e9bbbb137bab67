#include <windows.h>

#include "Console.h"

namespace pavix::platform {

bool StandardOutputIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace pavix::platform
