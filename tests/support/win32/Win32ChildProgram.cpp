#include <windows.h>

#include "ChildProgram.h"

namespace pavix::test {

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace

struct ChildProgram::State {
  bool started = false;
  HANDLE process = nullptr;
};

ChildProgram::ChildProgram(const std::vector<std::string>& arguments) : state_(std::make_unique<State>()) {
  std::string commandLine;
  for (const std::string& argument : arguments) commandLine += (commandLine.empty() ? "" : " ") + Quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return;
  }
  state_->started = true;
  // A Unix program started by Wine comes without handles.
  state_->process = process.hProcess;
  if (process.hThread) ::CloseHandle(process.hThread);
}

ChildProgram::~ChildProgram() {
  if (!state_->process) return;
  if (::WaitForSingleObject(state_->process, 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(state_->process, 1);
    ::WaitForSingleObject(state_->process, 5000);
  }
  ::CloseHandle(state_->process);
}

bool ChildProgram::Started() const { return state_->started; }

}  // namespace pavix::test
