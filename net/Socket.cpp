#include "Socket.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "SocketApi.h"

namespace pavix::net {

namespace {

using Clock = std::chrono::steady_clock;

// Without a stop socket to watch (it could not be made), waits are cut into
// slices this long and the stop flag is checked between them.
constexpr std::chrono::milliseconds kStopCheckSlice{250};

[[noreturn]] void Fail(const char* what) {
  throw SocketError(std::string(what) + " failed (socket error " + std::to_string(api::LastError()) + ")");
}

void RequireSockets() {
  if (!api::StartSockets()) throw SocketError("The socket library could not be started");
}

int SliceMs(std::chrono::milliseconds remaining, bool sliced) {
  if (remaining == kNoTimeLimit && !sliced) return -1;
  auto slice = sliced ? std::min(remaining, kStopCheckSlice) : remaining;
  if (slice.count() > 1'000'000) slice = std::chrono::milliseconds(1'000'000);
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, slice.count()));
}

}  // namespace

struct Socket::Handle {
  explicit Handle(api::NativeSocket s) : native(s) {}
  Handle(api::NativeSocket s, std::string peerText) : native(s), peer(std::move(peerText)) {}
  ~Handle() {
    if (native != api::kInvalidSocket) api::CloseNative(native);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  api::NativeSocket native;
  std::string peer;  // of an accepted connection, as accept told it
};

// Becomes readable when raised and stays so until rearmed, so every poll
// that watches it wakes, now and later.
struct StopSignal::State {
  std::atomic<bool> raised{false};
  api::NativeSocket wake = api::kInvalidSocket;
  ~State() {
    if (wake != api::kInvalidSocket) api::CloseNative(wake);
  }
};

StopSignal::StopSignal() : state_(std::make_unique<State>()) {
  if (api::StartSockets()) state_->wake = api::OpenWakeHandle();
}

StopSignal::~StopSignal() = default;

void StopSignal::Raise() {
  if (state_->raised.exchange(true)) return;
  if (state_->wake != api::kInvalidSocket) api::RaiseWakeHandle(state_->wake);
}

bool StopSignal::Raised() const { return state_->raised.load(); }

void StopSignal::Rearm() {
  if (!state_->raised.exchange(false)) return;
  if (state_->wake != api::kInvalidSocket) api::ClearWakeHandle(state_->wake);
}

Socket::Socket() = default;
Socket::Socket(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}
Socket::~Socket() = default;
Socket::Socket(Socket&& other) noexcept = default;
Socket& Socket::operator=(Socket&& other) noexcept = default;

bool Socket::HostHasIpv6() {
  RequireSockets();
  const api::NativeSocket s = socket(AF_INET6, SOCK_STREAM, IPPROTO_TCP);
  if (s == api::kInvalidSocket) return false;
  api::CloseNative(s);
  return true;
}

Socket Socket::Listen(IpFamily family, std::uint16_t port, int backlog) {
  RequireSockets();
  const int af = family == IpFamily::V4 ? AF_INET : AF_INET6;
  auto handle = std::make_unique<Handle>(socket(af, SOCK_STREAM, IPPROTO_TCP));
  if (handle->native == api::kInvalidSocket) throw BindError();
  const api::NativeSocket s = handle->native;
  if (!api::SetListenerReuseRule(s)) throw BindError();
  int bound = -1;
  if (family == IpFamily::V4) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    bound = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  } else {
    int on = 1;
    setsockopt(s, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&on), sizeof on);
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_any;
    address.sin6_port = htons(port);
    bound = bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  if (bound != 0 || listen(s, backlog) != 0 || !api::SetNonBlocking(s)) throw BindError();
  return Socket(std::move(handle));
}

Socket Socket::Connect(const std::string& host, std::uint16_t port) {
  RequireSockets();
  sockaddr_storage storage{};
  api::AddressLength length = 0;
  int af = AF_INET;
  auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
  if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
    v4->sin_port = htons(port);
    length = sizeof *v4;
  } else if (inet_pton(AF_INET6, host.c_str(), &v6->sin6_addr) == 1) {
    af = AF_INET6;
    v6->sin6_family = AF_INET6;
    v6->sin6_port = htons(port);
    length = sizeof *v6;
  } else {
    throw SocketError("Not a numeric address: " + host);
  }
  auto handle = std::make_unique<Handle>(socket(af, SOCK_STREAM, IPPROTO_TCP));
  if (handle->native == api::kInvalidSocket) Fail("socket");
  if (connect(handle->native, reinterpret_cast<sockaddr*>(&storage), length) != 0) Fail("connect");
  if (!api::SetNonBlocking(handle->native)) Fail("non-blocking mode");
  return Socket(std::move(handle));
}

bool Socket::IsOpen() const { return handle_ && handle_->native != api::kInvalidSocket; }

std::uint16_t Socket::LocalPort() const {
  if (!IsOpen()) return 0;
  sockaddr_storage storage{};
  api::AddressLength length = sizeof storage;
  if (getsockname(handle_->native, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return 0;
  if (storage.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  return ntohs(reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port);
}

namespace {

std::string AddressText(const sockaddr_storage& storage) {
  char text[INET6_ADDRSTRLEN] = {};
  const void* address = storage.ss_family == AF_INET
                            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(&storage)->sin_addr)
                            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_addr);
  if (inet_ntop(storage.ss_family, address, text, sizeof text) == nullptr) return "";
  return text;
}

}  // namespace

std::string Socket::PeerAddress() const {
  if (!IsOpen()) return "";
  if (!handle_->peer.empty()) return handle_->peer;
  sockaddr_storage storage{};
  api::AddressLength length = sizeof storage;
  if (getpeername(handle_->native, reinterpret_cast<sockaddr*>(&storage), &length) != 0) return "";
  return AddressText(storage);
}

WaitResult Socket::Wait(bool forWriting, std::chrono::milliseconds timeout, const StopSignal* stop) const {
  if (!IsOpen()) return WaitResult::Stopped;
  const bool watchStop = stop != nullptr && stop->state_->wake != api::kInvalidSocket;
  const bool sliced = stop != nullptr && !watchStop;
  const auto deadline = DeadlineIn(timeout);
  for (;;) {
    if (stop != nullptr && stop->Raised()) return WaitResult::Stopped;
    const auto remaining = TimeLeftUntil(deadline);
    api::PollEntry entries[2] = {};
    entries[0].fd = handle_->native;
    entries[0].events = forWriting ? POLLOUT : POLLIN;
    unsigned count = 1;
    if (watchStop) {
      entries[1].fd = stop->state_->wake;
      entries[1].events = POLLIN;
      count = 2;
    }
    const int ready = api::Poll(entries, count, SliceMs(remaining, sliced));
    if (ready < 0 && !api::Interrupted(api::LastError())) Fail("poll");
    if (stop != nullptr && stop->Raised()) return WaitResult::Stopped;
    if (ready > 0 && entries[0].revents != 0) return WaitResult::Ready;
    if (deadline != Clock::time_point::max() && Clock::now() >= deadline) return WaitResult::TimedOut;
  }
}

WaitResult Socket::WaitReadable(std::chrono::milliseconds timeout, const StopSignal* stop) const {
  return Wait(false, timeout, stop);
}

WaitResult Socket::WaitWritable(std::chrono::milliseconds timeout, const StopSignal* stop) const {
  return Wait(true, timeout, stop);
}

void Socket::PauseUnlessStopped(const StopSignal& stop, std::chrono::milliseconds timeout) {
  if (stop.state_->wake == api::kInvalidSocket) {
    std::this_thread::sleep_for(std::min(timeout, kStopCheckSlice));
    return;
  }
  api::PollEntry entry{};
  entry.fd = stop.state_->wake;
  entry.events = POLLIN;
  api::Poll(&entry, 1, static_cast<int>(timeout.count()));
}

std::optional<Socket> Socket::Accept(std::chrono::milliseconds timeout, const StopSignal& stop) {
  // Under load a connection is usually waiting already: take it without
  // a poll first, and wait only when there is none.
  for (bool waited = false;; waited = true) {
    if (stop.Raised()) return std::nullopt;
    sockaddr_storage storage{};
    api::AddressLength length = sizeof storage;
    const api::NativeSocket s = api::AcceptNonBlocking(handle_->native, reinterpret_cast<sockaddr*>(&storage), &length);
    if (s != api::kInvalidSocket) return Socket(std::make_unique<Handle>(s, AddressText(storage)));
    const int error = api::LastError();
    // Without a descriptor to give, the connection stays queued and the
    // listener readable: retrying at once would spin. Pause, then let the
    // caller try again, as it does when the peer gave up meanwhile.
    if (api::OutOfResources(error)) {
      PauseUnlessStopped(stop, timeout);
      return std::nullopt;
    }
    if (waited || !api::WouldBlock(error)) return std::nullopt;
    if (WaitReadable(timeout, &stop) != WaitResult::Ready) return std::nullopt;
  }
}

std::optional<std::size_t> Socket::Receive(char* data, std::size_t size) {
  if (!IsOpen()) throw SocketError("Receive on a closed socket");
  const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  for (;;) {
    const int received = api::ReceiveSome(handle_->native, data, chunk, 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    const int error = api::LastError();
    if (api::WouldBlock(error)) return std::nullopt;
    if (!api::Interrupted(error)) Fail("recv");
  }
}

bool Socket::HasBytesWaiting() {
  if (!IsOpen()) return false;
  char byte = 0;
  return api::ReceiveSome(handle_->native, &byte, 1, MSG_PEEK) > 0;
}

std::size_t Socket::Send(const char* data, std::size_t size) {
  if (!IsOpen()) throw SocketError("Send on a closed socket");
  const int chunk = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
  for (;;) {
    const int sent = api::SendSome(handle_->native, data, chunk);
    if (sent >= 0) return static_cast<std::size_t>(sent);
    const int error = api::LastError();
    if (api::WouldBlock(error)) return 0;
    if (!api::Interrupted(error)) Fail("send");
  }
}

void Socket::Shutdown() {
  if (IsOpen()) shutdown(handle_->native, api::kShutdownBoth);
}

void Socket::ShutdownSend() {
  if (IsOpen()) shutdown(handle_->native, api::kShutdownSend);
}

void Socket::Close() { handle_.reset(); }

}  // namespace pavix::net
