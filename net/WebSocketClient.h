#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "UiDispatcher.h"
#include "WebSocketEvents.h"
#include "WebSocketTcp.h"

// The WebSocket client of the cloud print channel: one connection over plain
// TCP, a heartbeat of pings, and events delivered on the UI thread.
namespace pavix::net {

class TWebSocketClient;
class TWSFrameReader;

// One connection, from the TCP connect to the end of its disconnect event.
class TWebSocketConnection {
 public:
  // Made by TWebSocketClient only, which alone can reach what it holds.
  TWebSocketConnection() = default;
  ~TWebSocketConnection();
  TWebSocketConnection(const TWebSocketConnection&) = delete;
  TWebSocketConnection& operator=(const TWebSocketConnection&) = delete;

  // Tells connections apart for the whole run: never reused.
  std::uint64_t Id() const { return id_; }
  bool HandshakeComplete() const { return handshakeComplete_.load(); }
  // The code of the last close frame received; 0 when there was none.
  std::uint16_t CloseCode() const { return closeCode_.load(); }

 private:
  friend class TWebSocketClient;
  struct Ping {
    std::string text;
    std::chrono::steady_clock::time_point sent;
  };

  std::uint64_t id_ = 0;
  std::string key_;
  std::unique_ptr<TcpStream> tcp_;
  std::atomic<bool> handshakeComplete_{false};
  std::atomic<std::uint16_t> closeCode_{0};
  // Set by whoever ends the connection first; that one alone reports it.
  // Guarded by eventMutex_, so that no message is queued after the
  // disconnection that ends the connection.
  bool closing_ = false;
  std::mutex eventMutex_;
  std::mutex writeMutex_;  // frames are written whole, one at a time

  std::mutex pingMutex_;
  std::deque<Ping> pings_;  // outstanding, oldest first
  std::chrono::steady_clock::time_point lastPong_{};

  bool heartBeatEnabled_ = false;
  std::chrono::milliseconds heartBeatInterval_{0};
  std::chrono::milliseconds heartBeatTimeout_{0};
  std::chrono::milliseconds answerTimeout_{0};
  TWSQueueLimit queueLimit_;
  std::mutex heartBeatMutex_;
  std::condition_variable heartBeatWake_;
  bool heartBeatStop_ = false;

  std::thread reader_;
  std::thread heartBeat_;
};

struct TWebSocketOptions {
  std::string Parameters;  // request target; a missing leading "/" is added
  std::string Origin;      // empty: Host
};

struct TWebSocketHeartBeat {
  bool Enabled = false;
  std::chrono::milliseconds Interval{std::chrono::seconds(300)};
  // A ping without its pong after this long means a dead connection: it is
  // closed with "HeartBeat Timeout exceeded." to OnException. 0: never.
  std::chrono::milliseconds Timeout{0};
};

class TWebSocketClient {
 public:
  using ConnectEvent = std::function<void(TWebSocketConnection* connection)>;
  using DisconnectEvent = std::function<void(TWebSocketConnection* connection, std::uint16_t code)>;
  using TextEvent = std::function<void(TWebSocketConnection* connection, const std::string& text)>;
  using HandshakeEvent = std::function<void(TWebSocketConnection* connection, std::vector<std::string>& lines)>;

  // Events reach their handlers on the UI thread of `ui`.
  explicit TWebSocketClient(platform::IUiDispatcher& ui);
  // Closes the connection without delivering its events and waits for
  // every thread of the client.
  ~TWebSocketClient();
  TWebSocketClient(const TWebSocketClient&) = delete;
  TWebSocketClient& operator=(const TWebSocketClient&) = delete;

  // Settings, read when a connection is made.
  std::string Host;
  std::uint16_t Port = 80;
  // Limit of the TCP connect and of the wait for the server's answer; 0
  // leaves the connect to the system's limit and waits for the answer for ever.
  std::chrono::milliseconds ConnectTimeout{0};
  TWebSocketOptions Options;
  TWebSocketHeartBeat HeartBeat;
  // Received messages not yet handled on the UI thread; one more ends the
  // connection with close code 1008 and an error, so the server sees that
  // it was not taken.
  TWSQueueLimit ReceiveQueueLimit;

  // Handlers, set before the first connection; all run on the UI thread
  // except OnHandshake, which runs on the connecting thread.
  ConnectEvent OnConnect;
  DisconnectEvent OnDisconnect;
  TextEvent OnMessage;
  TextEvent OnBinary;
  TextEvent OnError;
  TextEvent OnException;  // failed connects, heartbeat time-outs
  HandshakeEvent OnHandshake;

  // True while the TCP connection is open, handshake complete or not.
  bool Active() const;
  // True connects on the calling thread (a failure goes to OnException
  // only); false closes at once without a close frame. Handlers may call it.
  void SetActive(bool active);
  // One text frame on the open connection; nothing before the handshake has
  // completed or while the connection is closing. Any thread.
  void SendText(const std::string& text);
  // The connection made last, also once it has failed, until SetActive
  // replaces it; 0 when there is none.
  std::uint64_t ConnectionId() const;

 private:
  using Connection = std::shared_ptr<TWebSocketConnection>;

  void Connect();
  void ReadLoop(const Connection& connection);
  bool ReadAnswer(const Connection& connection, std::string& rest);
  // False once the connection has ended.
  bool HandleFrames(const Connection& connection, const std::string& bytes, TWSFrameReader& reader);
  void HeartBeatLoop(const Connection& connection);
  void SendPing(const Connection& connection);

  void WriteFrame(TWebSocketConnection& connection, std::uint8_t opcode, const std::string& payload);
  // Takes the right to end the connection; false when another has it.
  bool Claim(TWebSocketConnection& connection);
  // Ends a claimed connection: the optional close frame, the TCP close and
  // the heartbeat stop; then `report` queues its events.
  void Finish(const Connection& connection, int closeFrameCode, const std::function<void()>& report);
  void PushDisconnect(const Connection& connection);
  void PushText(const TextEvent TWebSocketClient::*handler, const Connection& connection, std::string text);
  // Queues an event of the open connection unless it is already closing.
  void PushWhileOpen(const Connection& connection, std::function<void()> event);
  // After the disconnect handler: the connection's threads end and it goes.
  void Release(const Connection& connection);

  std::shared_ptr<TWSEventQueue> events_;
  mutable std::mutex mutex_;
  Connection current_;
  std::vector<Connection> live_;  // every connection not yet released
  TcpStream::Cancel* connecting_ = nullptr;
  std::mutex connectMutex_;  // one connect at a time
  bool destroying_ = false;
};

}  // namespace pavix::net
