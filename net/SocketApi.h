#pragma once

// The few places where Winsock and BSD sockets differ, for Socket.cpp only.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/eventfd.h>
#endif
#endif

#include <cstdint>

namespace pavix::net::api {

#ifdef _WIN32
using NativeSocket = SOCKET;
inline constexpr NativeSocket kInvalidSocket = INVALID_SOCKET;
using PollEntry = WSAPOLLFD;
using AddressLength = int;
inline constexpr int kSendFlags = 0;
inline constexpr int kShutdownBoth = SD_BOTH;
inline constexpr int kShutdownSend = SD_SEND;

inline int Poll(PollEntry* entries, unsigned count, int timeoutMs) { return WSAPoll(entries, count, timeoutMs); }
inline void CloseNative(NativeSocket s) { closesocket(s); }
inline int LastError() { return WSAGetLastError(); }
inline bool WouldBlock(int error) { return error == WSAEWOULDBLOCK; }
inline bool Interrupted(int error) { return error == WSAEINTR; }
// The system has no descriptor or buffer to give: retrying at once cannot help.
inline bool OutOfResources(int error) { return error == WSAEMFILE || error == WSAENOBUFS; }
inline bool SetNonBlocking(NativeSocket s) {
  u_long on = 1;
  return ioctlsocket(s, FIONBIO, &on) == 0;
}
// No other socket may share a listening port, not even one that asks for reuse.
inline bool SetListenerReuseRule(NativeSocket s) {
  BOOL on = TRUE;
  return setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on) == 0;
}
inline int SendSome(NativeSocket s, const char* data, int size) { return send(s, data, size, kSendFlags); }
inline int ReceiveSome(NativeSocket s, char* data, int size, int flags) { return recv(s, data, size, flags); }
// An accepted connection, already non-blocking; kInvalidSocket on failure.
inline NativeSocket AcceptNonBlocking(NativeSocket listener, sockaddr* peer, AddressLength* length) {
  const NativeSocket s = accept(listener, peer, length);
  if (s != kInvalidSocket && !SetNonBlocking(s)) {
    closesocket(s);
    return kInvalidSocket;
  }
  return s;
}
// Winsock is started once per process and left running until it ends.
inline bool StartSockets() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}
#else
using NativeSocket = int;
inline constexpr NativeSocket kInvalidSocket = -1;
using PollEntry = pollfd;
using AddressLength = socklen_t;
// A peer that has gone must give an error, not kill the process with SIGPIPE.
inline constexpr int kSendFlags = MSG_NOSIGNAL;
inline constexpr int kShutdownBoth = SHUT_RDWR;
inline constexpr int kShutdownSend = SHUT_WR;

inline int Poll(PollEntry* entries, unsigned count, int timeoutMs) { return poll(entries, count, timeoutMs); }
inline void CloseNative(NativeSocket s) { close(s); }
inline int LastError() { return errno; }
inline bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK; }
inline bool Interrupted(int error) { return error == EINTR; }
inline bool OutOfResources(int error) {
  return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}
inline bool SetNonBlocking(NativeSocket s) {
  const int flags = fcntl(s, F_GETFL, 0);
  return flags >= 0 && fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0;
}
// The server closes its connections first, so their ends linger in
// TIME_WAIT; reuse lets a restart bind at once, and Linux still refuses a
// second listener on the port.
inline bool SetListenerReuseRule(NativeSocket s) {
  int on = 1;
  return setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
}
inline int SendSome(NativeSocket s, const char* data, int size) {
  return static_cast<int>(send(s, data, static_cast<size_t>(size), kSendFlags));
}
inline int ReceiveSome(NativeSocket s, char* data, int size, int flags) {
  return static_cast<int>(recv(s, data, static_cast<size_t>(size), flags));
}
inline NativeSocket AcceptNonBlocking(NativeSocket listener, sockaddr* peer, AddressLength* length) {
#ifdef __linux__
  return accept4(listener, peer, length, SOCK_NONBLOCK | SOCK_CLOEXEC);
#else
  const NativeSocket s = accept(listener, peer, length);
  if (s != kInvalidSocket && !SetNonBlocking(s)) {
    close(s);
    return kInvalidSocket;
  }
  return s;
#endif
}
#ifdef __linux__
// One counter that becomes readable when raised, made and closed with one
// call each; every connection has a stop signal, so this is on the path of
// every request.
inline NativeSocket OpenWakeHandle() { return eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC); }
inline void RaiseWakeHandle(NativeSocket s) {
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = write(s, &one, sizeof one);
}
inline void ClearWakeHandle(NativeSocket s) {
  std::uint64_t count = 0;
  [[maybe_unused]] const auto got = read(s, &count, sizeof count);
}
#endif
inline bool StartSockets() { return true; }
#endif

#ifndef __linux__
// Where poll watches sockets only, a stop signal's wake handle is a loopback
// datagram socket that sends one byte to itself, read only to clear it.
inline NativeSocket OpenWakeHandle() {
  NativeSocket s = socket(AF_INET, SOCK_DGRAM, 0);
  if (s == kInvalidSocket) return s;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  AddressLength length = sizeof address;
  if (bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      connect(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || !SetNonBlocking(s)) {
    CloseNative(s);
    return kInvalidSocket;
  }
  return s;
}
inline void RaiseWakeHandle(NativeSocket s) {
  const char byte = 1;
  SendSome(s, &byte, 1);
}
inline void ClearWakeHandle(NativeSocket s) {
  char bytes[16];
  while (ReceiveSome(s, bytes, sizeof bytes, 0) > 0) {
  }
}
#endif

}  // namespace pavix::net::api
