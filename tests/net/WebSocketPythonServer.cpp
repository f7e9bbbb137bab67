#include "WebSocketPythonServer.h"

#include "TestSupport.h"

#ifndef PAVIX_WEBSOCKET_PYTHON_SERVER
#error "PAVIX_WEBSOCKET_PYTHON_SERVER must name the server script"
#endif

namespace pavix::test {

namespace {
constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kUnavailable = "unavailable ";
}  // namespace

bool PythonWebSocketServer::Required() { return GetEnv("PAVIX_TEST_PYTHON_SERVER").value_or("") == "required"; }

PythonWebSocketServer::PythonWebSocketServer(std::uint16_t port) {
  program_ = std::make_unique<ChildProgram>(std::vector<std::string>{
      kPython, "-u", PAVIX_WEBSOCKET_PYTHON_SERVER, std::to_string(port), std::to_string(control_.Port())});
  if (!program_->Started()) {
    problem_ = std::string("cannot start ") + kPython;
    return;
  }
  // Python's start-up is slow on a loaded machine.
  peer_ = control_.Accept(std::chrono::seconds(20));
  if (!peer_) {
    problem_ = std::string(kPython) + " " + PAVIX_WEBSOCKET_PYTHON_SERVER + " did not connect back";
    return;
  }
  const auto first = peer_->ReadLine(std::chrono::seconds(20));
  if (first && first->rfind("port ", 0) == 0) {
    port_ = static_cast<std::uint16_t>(std::stoi(first->substr(5)));
  } else if (first && first->rfind(kUnavailable, 0) == 0) {
    problem_ = first->substr(std::string(kUnavailable).size());
  } else {
    problem_ = "the server did not listen: " + first.value_or("(no report)");
  }
  if (port_ == 0) {
    peer_->WaitForEnd(std::chrono::seconds(5));
    peer_.reset();
  }
}

PythonWebSocketServer::~PythonWebSocketServer() {
  if (peer_) {
    // Its last act is to drop the connection, after its listener is closed:
    // a server started next on the same port can take it.
    Command("quit");
    peer_->WaitForEnd(std::chrono::seconds(10));
    peer_.reset();
  }
  program_.reset();
}

void PythonWebSocketServer::Command(const std::string& line) {
  if (peer_) peer_->Send(line + "\n");
}

std::optional<std::string> PythonWebSocketServer::Next(const std::string& prefix, std::chrono::milliseconds limit) {
  const auto matches = [&](std::size_t i) { return !taken_[i] && reports_[i].rfind(prefix, 0) == 0; };
  for (std::size_t i = 0; i < reports_.size(); ++i) {
    if (matches(i)) {
      taken_[i] = true;
      return reports_[i];
    }
  }
  if (!peer_) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    auto line = peer_->ReadLine(left);
    if (!line) return std::nullopt;
    reports_.push_back(std::move(*line));
    taken_.push_back(false);
    if (matches(reports_.size() - 1)) {
      taken_.back() = true;
      return reports_.back();
    }
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
