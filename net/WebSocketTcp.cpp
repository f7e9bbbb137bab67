#include "WebSocketTcp.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "SocketApi.h"

// Name resolution: in ws2tcpip.h with Winsock, in netdb.h elsewhere.
#if __has_include(<netdb.h>)
#include <netdb.h>
#endif

namespace pavix::net {

namespace {

using Clock = std::chrono::steady_clock;

std::string ErrorText(const std::string& what, int error) {
  return what + " failed (socket error " + std::to_string(error) + ")";
}

[[noreturn]] void Fail(const std::string& what) { throw SocketError(ErrorText(what, api::LastError())); }

// A loopback datagram socket that sends itself one byte when raised; the
// byte is never read, so every later poll that watches it wakes too.
class WakeSocket {
 public:
  WakeSocket() {
    if (!api::StartSockets()) return;
    api::NativeSocket s = socket(AF_INET, SOCK_DGRAM, 0);
    if (s == api::kInvalidSocket) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    api::AddressLength length = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || !api::SetNonBlocking(s)) {
      api::CloseNative(s);
      return;
    }
    native_ = s;
  }
  ~WakeSocket() {
    if (native_ != api::kInvalidSocket) api::CloseNative(native_);
  }
  WakeSocket(const WakeSocket&) = delete;
  WakeSocket& operator=(const WakeSocket&) = delete;

  void Raise() {
    if (raised_.exchange(true)) return;
    const char byte = 1;
    if (native_ != api::kInvalidSocket) api::SendSome(native_, &byte, 1);
  }
  bool Raised() const { return raised_.load(); }
  api::NativeSocket Native() const { return native_; }

 private:
  std::atomic<bool> raised_{false};
  api::NativeSocket native_ = api::kInvalidSocket;
};

// Without a wake socket (it could not be made) waits are cut into slices
// this long, and the raised flag is checked between them.
constexpr std::chrono::milliseconds kSlice{100};

// Waits for `native` to be ready until `deadline` or until `wake` is raised.
WaitResult WaitFor(api::NativeSocket native, bool forWriting, Clock::time_point deadline, const WakeSocket& wake) {
  const bool watchWake = wake.Native() != api::kInvalidSocket;
  for (;;) {
    if (wake.Raised()) return WaitResult::Stopped;
    const auto now = Clock::now();
    if (deadline != Clock::time_point::max() && now >= deadline) return WaitResult::TimedOut;
    auto remaining = deadline == Clock::time_point::max()
                         ? std::chrono::milliseconds(1'000'000)
                         : std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now) +
                               std::chrono::milliseconds(1);
    remaining = std::min(remaining, watchWake ? std::chrono::milliseconds(1'000'000) : kSlice);
    api::PollEntry entries[2] = {};
    entries[0].fd = native;
    entries[0].events = forWriting ? POLLOUT : POLLIN;
    entries[1].fd = wake.Native();
    entries[1].events = POLLIN;
    const int ready = api::Poll(entries, watchWake ? 2 : 1, static_cast<int>(remaining.count()));
    if (ready < 0 && !api::Interrupted(api::LastError())) Fail("poll");
    if (wake.Raised()) return WaitResult::Stopped;
    if (ready > 0 && entries[0].revents != 0) return WaitResult::Ready;
  }
}

Clock::time_point DeadlineAfter(std::chrono::milliseconds timeout) {
  if (timeout == kNoTimeLimit) return Clock::time_point::max();
  return Clock::now() + timeout;
}

// The first IPv4 address of `host`.
sockaddr_in Resolve(const std::string& host, std::uint16_t port) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(host.c_str(), nullptr, &hints, &found);
  if (result != 0 || found == nullptr) {
    throw SocketError("Could not resolve host \"" + host + "\" (error " + std::to_string(result) + ")");
  }
  sockaddr_in address{};
  std::memcpy(&address, found->ai_addr, sizeof address);
  freeaddrinfo(found);
  address.sin_port = htons(port);
  return address;
}

}  // namespace

struct TcpStream::Cancel::State {
  WakeSocket wake;
};

TcpStream::Cancel::Cancel() : state_(std::make_unique<State>()) {}
TcpStream::Cancel::~Cancel() = default;
void TcpStream::Cancel::Raise() { state_->wake.Raise(); }
bool TcpStream::Cancel::Raised() const { return state_->wake.Raised(); }

struct TcpStream::Handles {
  explicit Handles(api::NativeSocket s) : native(s) {}
  ~Handles() {
    if (native != api::kInvalidSocket) api::CloseNative(native);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
  api::NativeSocket native;
  WakeSocket interrupt;
};

TcpStream::TcpStream(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}
TcpStream::~TcpStream() = default;

std::unique_ptr<TcpStream> TcpStream::Connect(const std::string& host, std::uint16_t port,
                                              std::chrono::milliseconds timeout, const Cancel& cancel) {
  if (!api::StartSockets()) throw SocketError("The socket library could not be started");
  const auto deadline = DeadlineAfter(timeout.count() <= 0 ? kNoTimeLimit : timeout);
  sockaddr_in address = Resolve(host, port);
  auto handles = std::make_unique<Handles>(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  const api::NativeSocket s = handles->native;
  if (s == api::kInvalidSocket) Fail("socket");
  if (!api::SetNonBlocking(s)) Fail("non-blocking mode");
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    const int error = api::LastError();
    // POSIX reports a connect under way as EINPROGRESS, Winsock as "would block".
    if (!api::WouldBlock(error) && error != EINPROGRESS) throw SocketError(ErrorText("connect", error));
    switch (WaitFor(s, true, deadline, cancel.state_->wake)) {
      case WaitResult::Stopped:
        throw SocketError("connect cancelled");
      case WaitResult::TimedOut:
        throw SocketError("connect timed out");
      case WaitResult::Ready:
        break;
    }
    int pending = 0;
    api::AddressLength length = sizeof pending;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&pending), &length) != 0) Fail("getsockopt");
    if (pending != 0) throw SocketError(ErrorText("connect", pending));
  }
  // Frames are small and written whole: send them at once.
  int on = 1;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return std::make_unique<TcpStream>(std::move(handles));
}

WaitResult TcpStream::Wait(bool forWriting, std::chrono::milliseconds timeout) const {
  return WaitFor(handles_->native, forWriting, DeadlineAfter(timeout), handles_->interrupt);
}

WaitResult TcpStream::WaitReadable(std::chrono::milliseconds timeout) const { return Wait(false, timeout); }

std::optional<std::size_t> TcpStream::Receive(char* data, std::size_t size) {
  const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  for (;;) {
    const int received = api::ReceiveSome(handles_->native, data, chunk, 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    const int error = api::LastError();
    if (api::WouldBlock(error)) return std::nullopt;
    if (!api::Interrupted(error)) Fail("recv");
  }
}

void TcpStream::SendAll(const char* data, std::size_t size, std::chrono::milliseconds timeout) {
  while (size > 0) {
    if (Interrupted()) throw SocketError("send on a closed connection");
    const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
    const int sent = api::SendSome(handles_->native, data, chunk);
    if (sent > 0) {
      data += sent;
      size -= static_cast<std::size_t>(sent);
      continue;
    }
    const int error = api::LastError();
    if (sent < 0 && !api::WouldBlock(error)) {
      if (api::Interrupted(error)) continue;
      throw SocketError(ErrorText("send", error));
    }
    switch (Wait(true, timeout)) {
      case WaitResult::Stopped:
        throw SocketError("send on a closed connection");
      case WaitResult::TimedOut:
        throw SocketError("send timed out");
      case WaitResult::Ready:
        break;
    }
  }
}

void TcpStream::Interrupt() {
  handles_->interrupt.Raise();
  shutdown(handles_->native, api::kShutdownBoth);
}

bool TcpStream::Interrupted() const { return handles_->interrupt.Raised(); }

}  // namespace pavix::net
