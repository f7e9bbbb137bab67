// Runs a command (the Windows tests under Wine) beside a private CUPS
// scheduler with one raw queue whose device is a socket printer on
// 127.0.0.1, so that Wine's spooler, which hands its jobs to CUPS, has a real
// printer at the end of the road. Each job the printer receives is filed in
// the given folder.
//   pavix_cups_relay QUEUE JOB-FOLDER COMMAND [ARGUMENTS...]
// The command finds the queue and the folder in PAVIX_TEST_CUPS_QUEUE and
// PAVIX_TEST_CUPS_JOBS (and the scheduler in CUPS_SERVER); the relay exits
// with the command's exit code.
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "CupsSandbox.h"

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: pavix_cups_relay QUEUE JOB-FOLDER COMMAND [ARGUMENTS...]\n";
    return 2;
  }
  const std::string queue = argv[1];
  const std::filesystem::path folder = std::filesystem::absolute(argv[2]);
  std::filesystem::create_directories(folder);

  pavix::test::SocketPrinter printer(folder);
  pavix::test::CupsSandbox cups;
  if (!cups.Running() || !cups.AddRawQueue(queue, printer.DeviceUri())) {
    std::cerr << "pavix_cups_relay: the private CUPS scheduler could not be set up\n";
    return 1;
  }
  const pavix::test::ScopedEnv queueVariable("PAVIX_TEST_CUPS_QUEUE", queue);
  const pavix::test::ScopedEnv folderVariable("PAVIX_TEST_CUPS_JOBS", folder.string());

  pid_t pid = -1;
  if (::posix_spawnp(&pid, argv[3], nullptr, nullptr, argv + 3, environ) != 0) {
    std::cerr << "pavix_cups_relay: cannot start " << argv[3] << "\n";
    return 1;
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
