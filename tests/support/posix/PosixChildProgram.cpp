#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include "ChildProgram.h"

extern char** environ;

namespace pavix::test {

struct ChildProgram::State {
  pid_t pid = -1;
};

ChildProgram::ChildProgram(const std::vector<std::string>& arguments) : state_(std::make_unique<State>()) {
  if (arguments.empty()) return;
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  // Only the standard streams: a listener or connection of the test left
  // open in the child would outlive the test's own close.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) state_->pid = pid;
  posix_spawn_file_actions_destroy(&actions);
}

ChildProgram::~ChildProgram() {
  if (state_->pid <= 0) return;
  int status = 0;
  if (waitpid(state_->pid, &status, WNOHANG) == state_->pid) return;
  kill(state_->pid, SIGKILL);
  waitpid(state_->pid, &status, 0);
}

bool ChildProgram::Started() const { return state_->pid > 0; }

}  // namespace pavix::test
