#include "WebSocketPythonServer.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#ifndef PAVIX_WEBSOCKET_PYTHON_SERVER
#error "PAVIX_WEBSOCKET_PYTHON_SERVER must name the server script"
#endif

extern char** environ;

namespace pavix::test {

namespace {
constexpr const char* kPython = "/usr/bin/python3";
}

bool PythonWebSocketServer::Available() {
  const std::string command = std::string(kPython) + " -c 'import websockets' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

PythonWebSocketServer::PythonWebSocketServer(std::uint16_t port) {
  int in[2];
  int out[2];
  if (pipe(in) != 0 || pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, in[1]);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  const std::string script = PAVIX_WEBSOCKET_PYTHON_SERVER;
  const std::string portText = std::to_string(port);
  std::vector<char*> argv{const_cast<char*>(kPython), const_cast<char*>("-u"), const_cast<char*>(script.c_str()),
                          const_cast<char*>(portText.c_str()), nullptr};
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, kPython, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  toServer_ = in[1];
  fromServer_ = out[0];
  if (spawned != 0) return;
  pid_ = pid;
  reader_ = std::thread([this] { ReadReports(); });
  if (const auto line = Next("port ")) port_ = static_cast<std::uint16_t>(std::stoi(line->substr(5)));
}

PythonWebSocketServer::~PythonWebSocketServer() {
  if (toServer_ >= 0) {
    Command("quit");
    close(toServer_);
  }
  if (pid_ > 0) {
    // It ends on "quit"; its output then ends too. A hung server is ended.
    bool ended = false;
    {
      std::unique_lock lock(mutex_);
      ended = arrived_.wait_for(lock, std::chrono::seconds(5), [this] { return ended_; });
    }
    if (!ended) kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  if (reader_.joinable()) reader_.join();
  if (fromServer_ >= 0) close(fromServer_);
}

void PythonWebSocketServer::Command(const std::string& line) {
  const std::string text = line + "\n";
  if (write(toServer_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    // The server is gone; Next reports what is missing.
  }
}

void PythonWebSocketServer::ReadReports() {
  std::string pending;
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(fromServer_, chunk, sizeof chunk);
    if (got <= 0) break;
    pending.append(chunk, static_cast<std::size_t>(got));
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      {
        std::lock_guard lock(mutex_);
        reports_.push_back(pending.substr(0, end));
        taken_.push_back(false);
      }
      arrived_.notify_all();
      pending.erase(0, end + 1);
    }
  }
  std::lock_guard lock(mutex_);
  ended_ = true;
  arrived_.notify_all();
}

std::optional<std::string> PythonWebSocketServer::Next(const std::string& prefix, std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  std::size_t seen = 0;
  for (;;) {
    for (; seen < reports_.size(); ++seen) {
      if (!taken_[seen] && reports_[seen].rfind(prefix, 0) == 0) {
        taken_[seen] = true;
        return reports_[seen];
      }
    }
    if (ended_) return std::nullopt;
    if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && seen == reports_.size()) return std::nullopt;
  }
}

std::string PythonWebSocketServer::Hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex.push_back(digits[c >> 4]);
    hex.push_back(digits[c & 15]);
  }
  return hex;
}

std::string PythonWebSocketServer::Unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

}  // namespace pavix::test
