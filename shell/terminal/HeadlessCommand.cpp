#include <iostream>

#include "Commands.h"
#include "TerminalShell.h"

namespace pavix {

int RunHeadless() {
  TerminalShell shell(std::cout, std::cerr, std::cerr);
  return RunPrintServer(shell);
}

}  // namespace pavix
