#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Exception.h"
#include "TimeLimit.h"

// TCP sockets for the servers and clients of the print channels: listening,
// accepting, and non-blocking reads and writes whose waits end on a time-out
// or on a stop signal.
namespace pavix::net {

// A socket call failed; the message says which and why.
class SocketError : public Exception {
 public:
  using Exception::Exception;
};

// A listening address could not be taken.
class BindError : public SocketError {
 public:
  BindError() : SocketError("Could not bind socket. Address and port are already in use.") {}
};

enum class IpFamily { V4, V6 };


enum class WaitResult { Ready, TimedOut, Stopped };

class Socket;

// Ends every wait that watches it, at once and for good: how a server stops
// its listeners and connections. Raise may be called from any thread.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  void Raise();
  bool Raised() const;
  // Unraised again, for a thread that serves one connection after another:
  // only while nothing waits on it and nobody may raise it.
  void Rearm();

 private:
  friend class Socket;
  struct State;
  std::unique_ptr<State> state_;
};

// One socket, closed when the object dies. Its reads and writes never block:
// they take what is there and the waits do the waiting.
class Socket {
 public:
  Socket();
  ~Socket();
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;

  // Whether this host can open IPv6 sockets at all.
  static bool HostHasIpv6();

  // A listener on the "any" address of `family`; port 0 takes a free port.
  // No other socket can share the port; IPv6 listeners take IPv6 only, so
  // an IPv4 listener can hold the same port. Raises BindError.
  static Socket Listen(IpFamily family, std::uint16_t port, int backlog);

  // A connection to `host` (a numeric address) and `port`, for tests and
  // clients; raises SocketError.
  static Socket Connect(const std::string& host, std::uint16_t port);

  bool IsOpen() const;
  std::uint16_t LocalPort() const;
  std::string PeerAddress() const;

  // A connection waiting on this listener, or none after `timeout` or a stop.
  std::optional<Socket> Accept(std::chrono::milliseconds timeout, const StopSignal& stop);

  WaitResult WaitReadable(std::chrono::milliseconds timeout, const StopSignal* stop) const;
  WaitResult WaitWritable(std::chrono::milliseconds timeout, const StopSignal* stop) const;

  // Up to `size` bytes that have arrived: 0 at the end of the stream, none
  // (nullopt) when nothing is there yet. Raises SocketError on a reset.
  std::optional<std::size_t> Receive(char* data, std::size_t size);
  // Whether bytes (not the end of the stream) are waiting to be read.
  bool HasBytesWaiting();
  // As many of `size` bytes as the system takes now (0 when it takes none).
  std::size_t Send(const char* data, std::size_t size);

  // Ends both directions; the peer sees the end of the stream.
  void Shutdown();
  // Ends our direction only: the peer sees the end, and may still send.
  void ShutdownSend();
  void Close();

 private:
  struct Handle;
  explicit Socket(std::unique_ptr<Handle> handle);
  WaitResult Wait(bool forWriting, std::chrono::milliseconds timeout, const StopSignal* stop) const;
  // Waits `timeout`, or less when `stop` is raised meanwhile.
  static void PauseUnlessStopped(const StopSignal& stop, std::chrono::milliseconds timeout);
  std::unique_ptr<Handle> handle_;
};

}  // namespace pavix::net
