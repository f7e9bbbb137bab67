#include "WebSocketScriptedServer.h"

#include <gtest/gtest.h>

#include "SocketApi.h"
#include "WebSocketHandshake.h"

namespace pavix::test {

namespace api = net::api;
using Clock = std::chrono::steady_clock;

namespace {

api::NativeSocket Native(std::intptr_t value) { return static_cast<api::NativeSocket>(value); }

bool WaitReadable(api::NativeSocket s, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left < 0) return false;
    api::PollEntry entry{};
    entry.fd = s;
    entry.events = POLLIN;
    const int ready = api::Poll(&entry, 1, static_cast<int>(left) + 1);
    if (ready > 0) return true;
    if (ready < 0 && !api::Interrupted(api::LastError())) return false;
  }
}

}  // namespace

ScriptedServer::ScriptedServer(std::uint16_t port) : native_(static_cast<std::intptr_t>(api::kInvalidSocket)) {
  if (!api::StartSockets()) throw std::runtime_error("no sockets");
  const api::NativeSocket s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  api::AddressLength length = sizeof address;
  // A server started again on its old port must not wait for TIME_WAIT.
  if (port != 0) api::SetListenerReuseRule(s);
  if (s == api::kInvalidSocket || bind(s, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(s, 8) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("scripted server could not listen");
  }
  native_ = static_cast<std::intptr_t>(s);
  port_ = ntohs(address.sin_port);
}

ScriptedServer::~ScriptedServer() { api::CloseNative(Native(native_)); }

std::unique_ptr<ScriptedPeer> ScriptedServer::Accept(std::chrono::milliseconds limit) {
  if (!WaitReadable(Native(native_), Clock::now() + limit)) return nullptr;
  const api::NativeSocket s = accept(Native(native_), nullptr, nullptr);
  if (s == api::kInvalidSocket) return nullptr;
  return std::make_unique<ScriptedPeer>(static_cast<std::intptr_t>(s));
}

ScriptedPeer::ScriptedPeer(std::intptr_t native) : native_(native) {}
ScriptedPeer::~ScriptedPeer() {
  if (Native(native_) != api::kInvalidSocket) api::CloseNative(Native(native_));
}

bool ScriptedPeer::Fill(std::size_t count, std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (buffer_.size() < count) {
    if (ended_ || !WaitReadable(Native(native_), deadline)) return false;
    char chunk[4096];
    const int received = api::ReceiveSome(Native(native_), chunk, sizeof chunk, 0);
    if (received <= 0) {
      ended_ = true;
      return false;
    }
    buffer_.append(chunk, static_cast<std::size_t>(received));
  }
  return true;
}

std::string ScriptedPeer::ReadRequest(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::size_t end;
  while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !Fill(buffer_.size() + 1, left)) {
      ADD_FAILURE() << "no complete opening request; got: " << buffer_;
      return "";
    }
  }
  std::string request = buffer_.substr(0, end + 4);
  buffer_.erase(0, end + 4);
  return request;
}

std::string ScriptedPeer::AnswerFor(const std::string& request, const std::string& acceptHeaderName) {
  const std::string keyName = "Sec-WebSocket-Key: ";
  const auto at = request.find(keyName);
  const std::string key = at == std::string::npos ? "" : request.substr(at + keyName.size(), 24);
  return "HTTP/1.1 101 Switching Protocols\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n" + acceptHeaderName + ": " +
         net::AcceptValueFor(key) + "\r\n\r\n";
}

void ScriptedPeer::AcceptHandshake() { Send(AnswerFor(ReadRequest())); }

void ScriptedPeer::Send(const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const int result = api::SendSome(Native(native_), bytes.data() + sent, static_cast<int>(bytes.size() - sent));
    if (result <= 0) {
      ADD_FAILURE() << "scripted server could not send";
      return;
    }
    sent += static_cast<std::size_t>(result);
  }
}

std::optional<std::string> ScriptedPeer::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::size_t end;
  while ((end = buffer_.find('\n')) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !Fill(buffer_.size() + 1, left)) return std::nullopt;
  }
  std::string line = buffer_.substr(0, end);
  buffer_.erase(0, end + 1);
  return line;
}

std::optional<ClientFrame> ScriptedPeer::ReadFrame(std::chrono::milliseconds limit) {
  if (!Fill(2, limit)) return std::nullopt;
  ClientFrame frame;
  frame.first = static_cast<std::uint8_t>(buffer_[0]);
  frame.second = static_cast<std::uint8_t>(buffer_[1]);
  std::size_t header = 2;
  std::uint64_t length = frame.second & 0x7F;
  const std::size_t extended = length == 126 ? 2 : length == 127 ? 8 : 0;
  if (!Fill(header + extended, limit)) return std::nullopt;
  if (extended > 0) {
    length = 0;
    for (std::size_t i = 0; i < extended; ++i) length = (length << 8) | static_cast<std::uint8_t>(buffer_[2 + i]);
  }
  header += extended;
  const bool masked = (frame.second & 0x80) != 0;
  if (masked) {
    if (!Fill(header + 4, limit)) return std::nullopt;
    frame.maskKey = buffer_.substr(header, 4);
    header += 4;
  }
  if (!Fill(header + length, limit)) return std::nullopt;
  frame.payload = buffer_.substr(header, length);
  if (masked) {
    for (std::size_t i = 0; i < frame.payload.size(); ++i) frame.payload[i] = static_cast<char>(frame.payload[i] ^ frame.maskKey[i % 4]);
  }
  frame.raw = buffer_.substr(0, header + length);
  buffer_.erase(0, header + length);
  return frame;
}

bool ScriptedPeer::WaitForEnd(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!ended_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    Fill(buffer_.size() + 1, left);
  }
  return true;
}

void ScriptedPeer::Reset() {
  linger option{};
  option.l_onoff = 1;
  option.l_linger = 0;
  setsockopt(Native(native_), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&option), sizeof option);
  api::CloseNative(Native(native_));
  native_ = static_cast<std::intptr_t>(api::kInvalidSocket);
  ended_ = true;
}

std::string ServerFrame(std::uint8_t opcode, const std::string& payload, bool fin, std::uint8_t rsv) {
  std::string frame;
  frame.push_back(static_cast<char>((fin ? 0x80 : 0) | rsv | opcode));
  const std::uint64_t length = payload.size();
  if (length < 126) {
    frame.push_back(static_cast<char>(length));
  } else if (length <= 0xFFFF) {
    frame.push_back(static_cast<char>(126));
    frame.push_back(static_cast<char>(length >> 8));
    frame.push_back(static_cast<char>(length & 0xFF));
  } else {
    frame.push_back(static_cast<char>(127));
    for (int shift = 56; shift >= 0; shift -= 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
  }
  return frame + payload;
}

}  // namespace pavix::test
