#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "HttpConnection.h"
#include "HttpLimits.h"
#include "SmallStackThread.h"
#include "Socket.h"

namespace pavix::net {

// A small HTTP/1.1 server: every path reaches one handler, one request per
// connection, a thread for each listening address and for each connection.
// Settings and handlers are set while the server is inactive.
class THTTPServer {
 public:
  THTTPServer();
  ~THTTPServer();  // stops, as SetActive(false)
  THTTPServer(const THTTPServer&) = delete;
  THTTPServer& operator=(const THTTPServer&) = delete;

  // Port of every listening address; 0 lets the first listener pick a free
  // one, which the others then share (see BoundPort).
  std::uint16_t DefaultPort = 80;
  int ListenQueue = 15;
  // At most this many connections at once. One more makes room by closing
  // the oldest connection that has not yet sent its request head; when all
  // are busy with requests, the newcomer is closed at once.
  std::size_t MaxConnections = 256;
  HttpLimits Limits;
  HTTPHandlers Handlers;

  bool Active() const { return active_; }
  // true: listens on IPv4 and, when the host has it, IPv6, on DefaultPort;
  // raises BindError, with nothing left listening, when a port cannot be
  // had. false: closes the listeners and every connection and returns once
  // every thread of the server has ended. Setting the current value does
  // nothing. Not thread-safe: one controlling thread at a time.
  void SetActive(bool active);

  // The port listened on while active.
  std::uint16_t BoundPort() const { return boundPort_; }
  // Connections being served now, as the cap counts them: one told to make
  // room is no longer counted while its thread winds down.
  std::size_t OpenConnections() const;

 private:
  struct Connection;
  void Start();
  void Stop();
  void Listen(Socket& listener);
  void Serve(Connection& connection);
  void CloseGracefully(Connection& connection);
  void Leave(Connection& connection);
  bool MakeRoom();

  bool active_ = false;
  std::uint16_t boundPort_ = 0;
  std::unique_ptr<StopSignal> stop_;  // the listeners'; each connection has its own
  std::vector<Socket> listeners_;
  std::vector<std::thread> listenerThreads_;
  mutable std::mutex connectionsMutex_;
  std::list<std::unique_ptr<Connection>> connections_;
  std::condition_variable connectionsLeft_;  // Stop waits for the list to empty
  platform::SmallStackThread lastFinished_;  // the thread of the connection that left last
};

}  // namespace pavix::net
