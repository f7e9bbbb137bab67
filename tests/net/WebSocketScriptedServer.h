#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A server for the WebSocket client tests that does, byte for byte, what the
// test says, including what no correct server would do. It listens on
// 127.0.0.1 and every wait ends after a time limit, so a fault fails the
// test instead of hanging it.
namespace pavix::test {

using namespace std::chrono_literals;

// One frame as the client wrote it.
struct ClientFrame {
  std::uint8_t first = 0;   // FIN, reserved bits, opcode
  std::uint8_t second = 0;  // mask bit, 7-bit length
  std::string maskKey;
  std::string payload;  // unmasked
  std::string raw;      // every byte as received
  std::uint8_t Opcode() const { return first & 0x0F; }
};

class ScriptedPeer {
 public:
  explicit ScriptedPeer(std::intptr_t native);
  ~ScriptedPeer();
  ScriptedPeer(const ScriptedPeer&) = delete;
  ScriptedPeer& operator=(const ScriptedPeer&) = delete;

  // The opening request up to its empty line; fails the test on time-out.
  std::string ReadRequest(std::chrono::milliseconds limit = 5s);
  // Reads the request and answers it as a correct server would.
  void AcceptHandshake();
  // The 101 answer to `request` with `acceptHeaderName` and the right value.
  static std::string AnswerFor(const std::string& request, const std::string& acceptHeaderName = "Sec-WebSocket-Accept");

  void Send(const std::string& bytes);
  // The next line without its end, or none when the connection ended or
  // `limit` passed first.
  std::optional<std::string> ReadLine(std::chrono::milliseconds limit = 5s);
  // The next frame, or none when the connection ended or `limit` passed.
  std::optional<ClientFrame> ReadFrame(std::chrono::milliseconds limit = 5s);
  // True when the client closed the connection within `limit`, after
  // whatever it still sent.
  bool WaitForEnd(std::chrono::milliseconds limit = 5s);
  // Ends the connection with a reset instead of an orderly close.
  void Reset();

 private:
  bool Fill(std::size_t count, std::chrono::milliseconds limit);
  std::intptr_t native_;
  std::string buffer_;
  bool ended_ = false;
};

class ScriptedServer {
 public:
  // Port 0 takes a free port.
  explicit ScriptedServer(std::uint16_t port = 0);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  std::uint16_t Port() const { return port_; }
  // The next connection, or none after `limit`.
  std::unique_ptr<ScriptedPeer> Accept(std::chrono::milliseconds limit = 5s);

 private:
  std::intptr_t native_;
  std::uint16_t port_ = 0;
};

// A server frame: FIN and `opcode` in the first byte unless `first` is
// given, the payload unmasked, the shortest length form.
std::string ServerFrame(std::uint8_t opcode, const std::string& payload, bool fin = true, std::uint8_t rsv = 0);

}  // namespace pavix::test
