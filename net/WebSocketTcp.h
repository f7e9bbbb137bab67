#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Socket.h"

// The TCP side of the WebSocket client: a connect that resolves a host name
// to IPv4 and gives up after a time limit or when cancelled, and waits that
// another thread can end at once (closing a connection must never wait for
// the peer).
namespace pavix::net {

class TcpStream {
 public:
  // Ends a connect in progress from another thread (the owner is closing).
  class Cancel {
   public:
    Cancel();
    ~Cancel();
    Cancel(const Cancel&) = delete;
    Cancel& operator=(const Cancel&) = delete;
    void Raise();
    bool Raised() const;

   private:
    friend class TcpStream;
    struct State;
    std::unique_ptr<State> state_;
  };

  // Resolves `host` (a name or a numeric IPv4 address) and connects to
  // `port`. A zero `timeout` leaves the limit to the system. Raises
  // SocketError with the reason on failure, time-out or cancel.
  static std::unique_ptr<TcpStream> Connect(const std::string& host, std::uint16_t port,
                                            std::chrono::milliseconds timeout, const Cancel& cancel);

  // Only Connect can make the handles it takes.
  struct Handles;
  explicit TcpStream(std::unique_ptr<Handles> handles);
  ~TcpStream();
  TcpStream(const TcpStream&) = delete;
  TcpStream& operator=(const TcpStream&) = delete;

  // Waits for bytes (or the end of the stream) until `timeout`; Stopped once
  // Interrupt has been called.
  WaitResult WaitReadable(std::chrono::milliseconds timeout) const;
  // Up to `size` bytes: 0 at the end of the stream, none when nothing is
  // there yet. Raises SocketError on a reset.
  std::optional<std::size_t> Receive(char* data, std::size_t size);
  // Writes all of `size` bytes, waiting while the system takes no more.
  // Raises SocketError on failure, when interrupted, or when the system has
  // taken no byte for `timeout`.
  void SendAll(const char* data, std::size_t size, std::chrono::milliseconds timeout = kNoTimeLimit);

  // From any thread: ends both directions and every wait, now and later.
  // The handle itself is released with the object, so a thread still
  // inside a call never sees it reused.
  void Interrupt();
  bool Interrupted() const;

 private:
  WaitResult Wait(bool forWriting, std::chrono::milliseconds timeout) const;
  std::unique_ptr<Handles> handles_;
};

}  // namespace pavix::net
