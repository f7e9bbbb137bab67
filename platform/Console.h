#pragma once

namespace pavix::platform {

// True when standard output is a terminal (a console window on Windows)
// rather than a file or a pipe.
bool StandardOutputIsTerminal();

}  // namespace pavix::platform
