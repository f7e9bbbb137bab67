#pragma once

#include <string>
#include <vector>

// Runs independent command-line tools (openssl, zbarimg) as oracles for the
// tests: no shell, arguments passed as they are.
namespace pavix::test {

struct ProgramResult {
  int exitCode = -1;  // -1 when the program could not be started or did not exit normally
  std::string out;    // standard output, byte for byte
  std::string err;
};

ProgramResult RunProgram(const std::vector<std::string>& argv);

// Whether `program` can be found on PATH.
bool ProgramAvailable(const std::string& program);

}  // namespace pavix::test
