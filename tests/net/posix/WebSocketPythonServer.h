#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A real WebSocket server (Python's websockets package under the system's
// /usr/bin/python3) as a child process that the test drives line by line:
// see WebSocketPythonServer.py for its commands and reports.
namespace pavix::test {

class PythonWebSocketServer {
 public:
  // Whether /usr/bin/python3 has the websockets package.
  static bool Available();

  // Starts the server on 127.0.0.1 and `port` (0: a free one) and waits for
  // it to listen; Port() is 0 when it did not come up.
  explicit PythonWebSocketServer(std::uint16_t port = 0);
  // Ends the server and waits for it.
  ~PythonWebSocketServer();
  PythonWebSocketServer(const PythonWebSocketServer&) = delete;
  PythonWebSocketServer& operator=(const PythonWebSocketServer&) = delete;

  std::uint16_t Port() const { return port_; }
  void Command(const std::string& line);
  // The oldest report starting with `prefix` not handed out yet, or none
  // after `limit`.
  std::optional<std::string> Next(const std::string& prefix, std::chrono::milliseconds limit = std::chrono::seconds(10));

  static std::string Hex(const std::string& bytes);
  static std::string Unhex(const std::string& hex);

 private:
  void ReadReports();
  int pid_ = -1;
  int toServer_ = -1;
  int fromServer_ = -1;
  std::uint16_t port_ = 0;
  std::thread reader_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<std::string> reports_;
  std::vector<bool> taken_;  // reports already handed out
  bool ended_ = false;
};

}  // namespace pavix::test
