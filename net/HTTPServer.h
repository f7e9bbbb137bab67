#pragma once

#include <atomic>
#include <chrono>
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
// A connection's thread, once done, waits a while to serve the next one:
// a busy server does not pay for a new thread with every request.
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
  // How long a thread without a connection waits for the next one before
  // it ends; a quiet server keeps no threads but its listeners.
  std::chrono::milliseconds IdleThreadLifetime{10000};
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
  // Threads that serve a connection or wait for the next one.
  std::size_t ConnectionThreads() const;

 private:
  struct Connection;
  struct Worker;
  void Start();
  void Stop();
  void Listen(Socket& listener);
  void HandOver(std::unique_ptr<Connection> connection);
  void Work(Worker& worker);
  void Serve(Connection& connection);
  void CloseGracefully(Connection& connection);
  void Retire(Worker& worker, std::unique_lock<std::mutex>& lock);
  bool MakeRoom();

  bool active_ = false;
  std::uint16_t boundPort_ = 0;
  std::unique_ptr<StopSignal> stop_;  // the listeners'; each connection thread has its own
  std::vector<Socket> listeners_;
  std::vector<std::thread> listenerThreads_;
  mutable std::mutex connectionsMutex_;  // guards everything below
  std::list<std::unique_ptr<Connection>> connections_;
  std::list<std::unique_ptr<Worker>> workers_;
  std::vector<Worker*> idleWorkers_;  // the one that became idle last serves next
  bool stopping_ = false;
  std::condition_variable workersLeft_;     // Stop waits for every worker to retire
  platform::SmallStackThread lastRetired_;  // the thread of the worker that retired last
};

}  // namespace pavix::net
