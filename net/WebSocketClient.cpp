#include "WebSocketClient.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <optional>

#include "Base64.h"
#include "WebSocketFrames.h"
#include "WebSocketHandshake.h"
#include "WebSocketRandom.h"

namespace pavix::net {

namespace {

using Clock = std::chrono::steady_clock;

// An answer longer than this is no opening handshake.
constexpr std::size_t kMaxAnswerSize = 16 * 1024;
// A close frame is a courtesy: it must not hold up the end of a connection.
constexpr std::chrono::milliseconds kCloseFrameLimit{1000};
// A peer that takes no byte for this long is gone; the write lock is never
// held longer, so closing never waits for ever behind a stuck write.
constexpr std::chrono::milliseconds kWriteLimit{30000};

std::atomic<std::uint64_t> nextConnectionId{1};

// The local time as "yyyymmddhhnnsszzz", the text of a heartbeat ping.
std::string PingText() {
  static std::mutex localTimeMutex;  // std::localtime shares one result
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  {
    std::lock_guard lock(localTimeMutex);
    local = *std::localtime(&seconds);
  }
  char text[80];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(milliseconds));
  return text;
}

std::vector<std::string> SplitLines(std::string_view header) {
  std::vector<std::string> lines;
  while (!header.empty()) {
    const std::size_t end = header.find('\n');
    std::string_view line = header.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    header.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

TWebSocketConnection::~TWebSocketConnection() {
  // Released connections have had their threads joined; this covers one
  // whose events never came.
  if (reader_.joinable()) reader_.join();
  if (heartBeat_.joinable()) heartBeat_.join();
}

TWebSocketClient::TWebSocketClient(platform::IUiDispatcher& ui)
    : events_(std::make_shared<TWSEventQueue>(ui)) {}

TWebSocketClient::~TWebSocketClient() {
  events_->Close();
  {
    std::lock_guard lock(mutex_);
    destroying_ = true;
    if (connecting_ != nullptr) connecting_->Raise();
  }
  // A connect under way on another thread gives up and is waited for.
  { std::lock_guard wait(connectMutex_); }
  std::vector<Connection> all;
  {
    std::lock_guard lock(mutex_);
    all = live_;
    current_.reset();
  }
  for (const auto& connection : all) {
    Claim(*connection);
    connection->tcp_->Interrupt();
    Release(connection);
  }
}

bool TWebSocketClient::Active() const {
  Connection connection;
  {
    std::lock_guard lock(mutex_);
    connection = current_;
  }
  if (!connection) return false;
  std::lock_guard lock(connection->eventMutex_);
  return !connection->closing_;
}

std::uint64_t TWebSocketClient::ConnectionId() const {
  std::lock_guard lock(mutex_);
  return current_ ? current_->id_ : 0;
}

void TWebSocketClient::SetActive(bool active) {
  if (active) {
    Connect();
    events_->Deliver();
    return;
  }
  Connection connection;
  {
    std::lock_guard lock(mutex_);
    connection.swap(current_);
    if (connecting_ != nullptr) connecting_->Raise();
  }
  if (connection && Claim(*connection)) Finish(connection, -1, [&] { PushDisconnect(connection); });
}

void TWebSocketClient::Connect() {
  std::lock_guard connectLock(connectMutex_);
  if (Active()) return;
  TcpStream::Cancel cancel;
  {
    std::lock_guard lock(mutex_);
    if (destroying_) return;
    // The previous connection is closed; its events still hold it until
    // its disconnection has been handled.
    current_.reset();
    connecting_ = &cancel;
  }
  std::unique_ptr<TcpStream> tcp;
  std::string failure;
  try {
    tcp = TcpStream::Connect(Host, Port, ConnectTimeout, cancel);
  } catch (const std::exception& error) {
    failure = error.what();
  }
  {
    std::lock_guard lock(mutex_);
    connecting_ = nullptr;
  }
  if (!tcp) {
    PushText(&TWebSocketClient::OnException, nullptr, failure);
    return;
  }

  auto connection = std::make_shared<TWebSocketConnection>();
  connection->id_ = nextConnectionId++;
  connection->key_ = EncodeBase64(RandomBytes(16));
  connection->tcp_ = std::move(tcp);
  connection->heartBeatEnabled_ = HeartBeat.Enabled;
  connection->heartBeatInterval_ = HeartBeat.Interval;
  connection->heartBeatTimeout_ = HeartBeat.Timeout;
  connection->answerTimeout_ = ConnectTimeout;
  connection->queueLimit_ = ReceiveQueueLimit;
  {
    std::lock_guard lock(mutex_);
    if (destroying_) return;
    current_ = connection;
    live_.push_back(connection);
  }

  std::vector<std::string> lines =
      OpeningRequestLines({Host, Port, Options.Parameters, Options.Origin}, connection->key_);
  if (OnHandshake) OnHandshake(connection.get(), lines);
  const std::string request = OpeningRequestText(lines);
  try {
    std::lock_guard write(connection->writeMutex_);
    connection->tcp_->SendAll(request.data(), request.size(), kWriteLimit);
  } catch (const std::exception& error) {
    if (Claim(*connection)) {
      Finish(connection, -1, [&] {
        PushText(&TWebSocketClient::OnError, connection, "Error writing message " + std::string(error.what()) + ".");
        PushDisconnect(connection);
      });
    }
    return;
  }

  // Threads are started only while the connection is live: once released,
  // nothing would join them.
  std::lock_guard lock(mutex_);
  if (std::find(live_.begin(), live_.end(), connection) == live_.end()) return;
  if (connection->heartBeatEnabled_ && connection->heartBeatInterval_.count() > 0) {
    connection->heartBeat_ = std::thread([this, connection] { HeartBeatLoop(connection); });
  }
  connection->reader_ = std::thread([this, connection] { ReadLoop(connection); });
}

void TWebSocketClient::SendText(const std::string& text) {
  Connection connection;
  {
    std::lock_guard lock(mutex_);
    connection = current_;
  }
  if (!connection || !connection->HandshakeComplete()) return;
  {
    std::lock_guard lock(connection->eventMutex_);
    if (connection->closing_) return;
  }
  try {
    WriteFrame(*connection, opText, text);
  } catch (const std::exception& error) {
    // A connection closed meanwhile by someone else fails quietly.
    if (!Claim(*connection)) return;
    Finish(connection, -1, [&] {
      PushText(&TWebSocketClient::OnError, connection, "Error writing message " + std::string(error.what()) + ".");
      PushDisconnect(connection);
    });
  }
}

void TWebSocketClient::WriteFrame(TWebSocketConnection& connection, std::uint8_t opcode, const std::string& payload) {
  std::lock_guard lock(connection.writeMutex_);
  const std::string frame = EncodeFrame(static_cast<TWSOpcode>(opcode), payload, RandomBytes(4));
  connection.tcp_->SendAll(frame.data(), frame.size(), kWriteLimit);
}

bool TWebSocketClient::Claim(TWebSocketConnection& connection) {
  std::lock_guard lock(connection.eventMutex_);
  if (connection.closing_) return false;
  connection.closing_ = true;
  return true;
}

void TWebSocketClient::Finish(const Connection& connection, int closeFrameCode, const std::function<void()>& report) {
  if (closeFrameCode >= 0) {
    std::lock_guard lock(connection->writeMutex_);
    const std::string frame =
        EncodeFrame(opClose, ClosePayload(static_cast<std::uint16_t>(closeFrameCode)), RandomBytes(4));
    try {
      connection->tcp_->SendAll(frame.data(), frame.size(), kCloseFrameLimit);
    } catch (const std::exception&) {
      // The peer is gone or stuck: the connection closes all the same.
    }
  }
  connection->tcp_->Interrupt();
  {
    std::lock_guard lock(connection->heartBeatMutex_);
    connection->heartBeatStop_ = true;
  }
  connection->heartBeatWake_.notify_all();
  report();
  events_->Deliver();
}

void TWebSocketClient::PushDisconnect(const Connection& connection) {
  events_->Push([this, connection] {
    // The connection goes once its handler has run, however it ends.
    struct ReleaseAfter {
      TWebSocketClient& client;
      const Connection& connection;
      ~ReleaseAfter() { client.Release(connection); }
    } releaseAfter{*this, connection};
    if (OnDisconnect) OnDisconnect(connection.get(), connection->CloseCode());
  });
}

void TWebSocketClient::PushText(const TextEvent TWebSocketClient::*handler, const Connection& connection,
                                std::string text) {
  events_->Push([this, handler, connection, text = std::move(text)] {
    if (this->*handler) (this->*handler)(connection.get(), text);
  });
}

void TWebSocketClient::PushWhileOpen(const Connection& connection, std::function<void()> event) {
  std::lock_guard lock(connection->eventMutex_);
  if (!connection->closing_) events_->Push(std::move(event));
}

void TWebSocketClient::Release(const Connection& connection) {
  std::thread reader;
  std::thread heartBeat;
  {
    std::lock_guard lock(mutex_);
    reader = std::move(connection->reader_);
    heartBeat = std::move(connection->heartBeat_);
    live_.erase(std::remove(live_.begin(), live_.end(), connection), live_.end());
  }
  {
    std::lock_guard lock(connection->heartBeatMutex_);
    connection->heartBeatStop_ = true;
  }
  connection->heartBeatWake_.notify_all();
  connection->tcp_->Interrupt();
  if (heartBeat.joinable()) heartBeat.join();
  if (reader.joinable()) reader.join();
}

void TWebSocketClient::ReadLoop(const Connection& connection) {
  std::string rest;
  if (!ReadAnswer(connection, rest)) return;
  TWSFrameReader reader;
  if (!HandleFrames(connection, rest, reader)) return;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    if (connection->tcp_->WaitReadable(kNoTimeLimit) == WaitResult::Stopped) return;
    std::optional<std::size_t> received;
    try {
      received = connection->tcp_->Receive(buffer.data(), buffer.size());
    } catch (const SocketError&) {
      received = 0;  // a reset ends the connection as a close does
    }
    if (!received) continue;
    if (*received == 0) {
      if (Claim(*connection)) Finish(connection, -1, [&] { PushDisconnect(connection); });
      return;
    }
    if (!HandleFrames(connection, std::string(buffer.data(), *received), reader)) return;
  }
}

bool TWebSocketClient::ReadAnswer(const Connection& connection, std::string& rest) {
  const auto limit = connection->answerTimeout_;
  const auto deadline = limit.count() > 0 ? Clock::now() + limit : Clock::time_point::max();
  std::string answer;
  std::array<char, 4096> buffer{};
  std::size_t end = std::string::npos;
  const auto fail = [&](const std::string& error) {
    if (!Claim(*connection)) return false;
    Finish(connection, -1, [&] {
      if (!error.empty()) PushText(&TWebSocketClient::OnError, connection, error);
      PushDisconnect(connection);
    });
    return false;
  };
  while ((end = answer.find("\r\n\r\n")) == std::string::npos) {
    if (answer.size() > kMaxAnswerSize) return fail("Error Decoding Header: answer too long");
    auto wait = kNoTimeLimit;
    if (deadline != Clock::time_point::max()) {
      wait = std::max(std::chrono::milliseconds(0),
                      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    }
    const WaitResult result = connection->tcp_->WaitReadable(wait);
    if (result == WaitResult::Stopped) return false;
    if (result == WaitResult::TimedOut) return fail("Handshake Error: no answer from the server");
    std::optional<std::size_t> received;
    try {
      received = connection->tcp_->Receive(buffer.data(), buffer.size());
    } catch (const SocketError&) {
      received = 0;
    }
    if (!received) continue;
    if (*received == 0) return fail("");
    answer.append(buffer.data(), *received);
  }
  rest = answer.substr(end + 4);
  answer.resize(end);
  if (const auto error = CheckAnswer(SplitLines(answer), connection->key_)) return fail(*error);
  connection->handshakeComplete_ = true;
  PushWhileOpen(connection, [this, connection] {
    if (OnConnect) OnConnect(connection.get());
  });
  events_->Deliver();
  return true;
}

bool TWebSocketClient::HandleFrames(const Connection& connection, const std::string& bytes, TWSFrameReader& reader) {
  std::vector<TWSReceived> received;
  reader.Feed(bytes, received);
  // Ends the connection after what came before has been queued.
  const auto end = [&](int closeFrameCode, const std::string& error) {
    if (!Claim(*connection)) return false;
    Finish(connection, closeFrameCode, [&] {
      PushDisconnect(connection);
      if (!error.empty()) PushText(&TWebSocketClient::OnError, connection, error);
    });
    return false;
  };
  for (auto& item : received) {
    switch (item.kind) {
      case TWSReceived::Kind::Message: {
        const auto handler = item.opcode == opText ? &TWebSocketClient::OnMessage : &TWebSocketClient::OnBinary;
        const std::size_t bytes = item.payload.size();
        bool queued = true;
        {
          std::lock_guard lock(connection->eventMutex_);
          if (!connection->closing_) {
            queued = events_->PushMessage(
                [this, handler, connection, text = std::move(item.payload)] {
                  if (this->*handler) (this->*handler)(connection.get(), text);
                },
                bytes, connection->queueLimit_);
          }
        }
        if (!queued) {
          events_->Deliver();
          const TWSQueueLimit& limit = connection->queueLimit_;
          return end(kClosePolicyViolation, "Receive queue full: more than " + std::to_string(limit.Messages) +
                                                " messages or " + std::to_string(limit.Bytes) + " bytes waiting");
        }
        break;
      }
      case TWSReceived::Kind::Ping:
        try {
          WriteFrame(*connection, opPong, item.payload);
        } catch (const std::exception&) {
          events_->Deliver();
          return end(-1, "");
        }
        break;
      case TWSReceived::Kind::Pong: {
        std::unique_lock lock(connection->pingMutex_);
        auto& pings = connection->pings_;
        const auto match = std::find_if(pings.begin(), pings.end(), [&](const auto& ping) { return ping.text == item.payload; });
        if (!pings.empty() && match == pings.end()) {
          lock.unlock();
          events_->Deliver();
          return end(kCloseNormal, "Received Pong is different from Sent Ping");
        }
        if (match != pings.end()) pings.erase(match);
        connection->lastPong_ = Clock::now();
        break;
      }
      case TWSReceived::Kind::Close:
        connection->closeCode_ = item.closeCode;
        events_->Deliver();
        return end(kCloseNormal, "");
      case TWSReceived::Kind::Error:
        connection->closeCode_ = item.closeCode;
        events_->Deliver();
        return end(item.replyCode, item.error);
    }
  }
  events_->Deliver();
  return true;
}

void TWebSocketClient::HeartBeatLoop(const Connection& connection) {
  const auto interval = connection->heartBeatInterval_;
  const auto timeout = connection->heartBeatTimeout_;
  auto nextPing = Clock::now() + interval;
  std::unique_lock lock(connection->heartBeatMutex_);
  while (!connection->heartBeatStop_) {
    std::optional<Clock::time_point> overdue;  // when the oldest unanswered ping times out
    if (timeout.count() > 0) {
      std::lock_guard pings(connection->pingMutex_);
      if (!connection->pings_.empty()) overdue = connection->pings_.front().sent + timeout;
    }
    const auto wakeAt = overdue ? std::min(nextPing, *overdue) : nextPing;
    connection->heartBeatWake_.wait_until(lock, wakeAt, [&] { return connection->heartBeatStop_; });
    if (connection->heartBeatStop_) return;
    const auto now = Clock::now();
    if (overdue && now >= *overdue) {
      bool unanswered = false;
      {
        std::lock_guard pings(connection->pingMutex_);
        unanswered = !connection->pings_.empty() && connection->pings_.front().sent + timeout <= now;
      }
      if (unanswered) {
        lock.unlock();
        if (Claim(*connection)) {
          Finish(connection, -1, [&] {
            PushText(&TWebSocketClient::OnException, connection, "HeartBeat Timeout exceeded.");
            PushDisconnect(connection);
          });
        }
        return;
      }
    }
    if (now >= nextPing) {
      lock.unlock();
      SendPing(connection);
      lock.lock();
      nextPing = now + interval;
    }
  }
}

void TWebSocketClient::SendPing(const Connection& connection) {
  const std::string text = PingText();
  {
    // Listed before it is written: the pong may come back at once.
    std::lock_guard lock(connection->pingMutex_);
    connection->pings_.push_back({text, Clock::now()});
  }
  try {
    WriteFrame(*connection, opPing, text);
  } catch (const std::exception&) {
    if (Claim(*connection)) Finish(connection, -1, [&] { PushDisconnect(connection); });
  }
}

}  // namespace pavix::net
