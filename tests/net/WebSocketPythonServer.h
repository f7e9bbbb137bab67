#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ChildProgram.h"
#include "WebSocketScriptedServer.h"

// A real WebSocket server (Python's websockets package under the system's
// /usr/bin/python3) on 127.0.0.1, driven line by line over a loopback
// connection it makes back to the test: see WebSocketPythonServer.py for its
// commands and reports. A socket rather than pipes, because the Windows
// tests run under Wine, which starts a Unix program but cannot hand it the
// test's pipes. One thread at a time drives a server.
namespace pavix::test {

class PythonWebSocketServer {
 public:
  // Starts the server on `port` (0: a free one) and waits for it to listen;
  // Port() is 0 when it did not come up, and Problem() says why.
  explicit PythonWebSocketServer(std::uint16_t port = 0);
  // Asks the server to end, waits for it, and ends it if it does not.
  ~PythonWebSocketServer();
  PythonWebSocketServer(const PythonWebSocketServer&) = delete;
  PythonWebSocketServer& operator=(const PythonWebSocketServer&) = delete;

  // Whether a missing server fails the test instead of skipping it:
  // PAVIX_TEST_PYTHON_SERVER=required (set by the test scripts).
  static bool Required();

  std::uint16_t Port() const { return port_; }
  const std::string& Problem() const { return problem_; }
  void Command(const std::string& line);
  // The oldest report starting with `prefix` not handed out yet, or none
  // after `limit`.
  std::optional<std::string> Next(const std::string& prefix, std::chrono::milliseconds limit = std::chrono::seconds(10));

  static std::string Hex(const std::string& bytes);
  static std::string Unhex(const std::string& hex);

 private:
  ScriptedServer control_;
  std::unique_ptr<ChildProgram> program_;
  std::unique_ptr<ScriptedPeer> peer_;
  std::uint16_t port_ = 0;
  std::string problem_;
  std::vector<std::string> reports_;
  std::vector<bool> taken_;  // reports already handed out
};

}  // namespace pavix::test

// Skips the test when the server could not be had, or fails it where the
// server is required.
#define PAVIX_NEED_PYTHON_SERVER(server)                                                    \
  do {                                                                                      \
    if ((server).Port() == 0) {                                                             \
      if (::pavix::test::PythonWebSocketServer::Required()) FAIL() << (server).Problem();   \
      GTEST_SKIP() << (server).Problem();                                                   \
    }                                                                                       \
  } while (false)
