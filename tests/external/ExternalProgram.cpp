#include "ExternalProgram.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sstream>

extern char** environ;

namespace pavix::test {

namespace {

class Pipe {
 public:
  Pipe() {
    if (::pipe(fds_.data()) != 0) fds_ = {-1, -1};
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  bool Valid() const { return fds_[0] >= 0; }
  int Read() const { return fds_[0]; }
  int Write() const { return fds_[1]; }
  void CloseRead() { Close(fds_[0]); }
  void CloseWrite() { Close(fds_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  std::array<int, 2> fds_{};
};

class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

// Drains both pipes together, so a chatty stderr cannot block the program.
void Collect(Pipe& out, Pipe& err, ProgramResult& result) {
  std::array<pollfd, 2> fds{pollfd{out.Read(), POLLIN, 0}, pollfd{err.Read(), POLLIN, 0}};
  std::array<std::string*, 2> sinks{&result.out, &result.err};
  int open = 2;
  std::array<char, 65536> buffer;
  while (open > 0) {
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t got = ::read(fds[i].fd, buffer.data(), buffer.size());
      if (got > 0) {
        sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv) {
  ProgramResult result;
  Pipe out;
  Pipe err;
  if (argv.empty() || !out.Valid() || !err.Valid()) return result;
  FileActions actions;
  ::posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(actions.Get(), out.Write(), 1);
  ::posix_spawn_file_actions_adddup2(actions.Get(), err.Write(), 2);
  ::posix_spawn_file_actions_addclose(actions.Get(), out.Read());
  ::posix_spawn_file_actions_addclose(actions.Get(), err.Read());

  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, args[0], actions.Get(), nullptr, args.data(), environ) != 0) return result;
  out.CloseWrite();
  err.CloseWrite();
  Collect(out, err, result);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return result;
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

bool ProgramAvailable(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const std::filesystem::path candidate = std::filesystem::path(folder.empty() ? "." : folder) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
  }
  return false;
}

}  // namespace pavix::test
