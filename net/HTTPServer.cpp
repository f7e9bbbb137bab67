#include "HTTPServer.h"

#include <system_error>

#include "SocketHttpStream.h"

namespace pavix::net {

namespace {

// How often a listener looks up from accept, so that the stop is seen even
// without the stop signal's wake handle.
constexpr std::chrono::milliseconds kListenerTick{250};

}  // namespace

struct THTTPServer::Connection {
  explicit Connection(Socket s) : socket(std::move(s)) {}
  Socket socket;
  StopSignal stop;  // raised to close this connection early, or by Stop
  platform::SmallStackThread thread;
  std::list<std::unique_ptr<Connection>>::iterator place;  // in connections_
  std::atomic<bool> headRead{false};
  bool evicted = false;  // under connectionsMutex_
};

THTTPServer::THTTPServer() = default;

THTTPServer::~THTTPServer() { Stop(); }

void THTTPServer::SetActive(bool active) {
  if (active == active_) return;
  if (active) {
    Start();
  } else {
    Stop();
  }
}

std::size_t THTTPServer::OpenConnections() const {
  std::lock_guard lock(connectionsMutex_);
  std::size_t open = 0;
  for (const auto& connection : connections_) open += connection->evicted ? 0 : 1;
  return open;
}

void THTTPServer::Start() {
  stop_ = std::make_unique<StopSignal>();
  std::vector<Socket> listeners;
  // Opened listeners close with `listeners` if a later bind fails.
  listeners.push_back(Socket::Listen(IpFamily::V4, DefaultPort, ListenQueue));
  const std::uint16_t port = listeners.front().LocalPort();
  if (Socket::HostHasIpv6()) listeners.push_back(Socket::Listen(IpFamily::V6, port, ListenQueue));
  listeners_ = std::move(listeners);
  boundPort_ = port;
  active_ = true;
  for (Socket& listener : listeners_) listenerThreads_.emplace_back([this, &listener] { Listen(listener); });
}

void THTTPServer::Stop() {
  if (!active_) return;
  stop_->Raise();
  for (std::thread& thread : listenerThreads_) thread.join();
  listenerThreads_.clear();
  listeners_.clear();
  // Each connection thread sees its stop in its next wait and ends; a
  // handler that is running finishes first.
  std::unique_lock lock(connectionsMutex_);
  for (auto& connection : connections_) connection->stop.Raise();
  connectionsLeft_.wait(lock, [this] { return connections_.empty(); });
  // The last thread to leave joined the one before it, and so on.
  platform::SmallStackThread last = std::move(lastFinished_);
  lock.unlock();
  last.Join();
  stop_.reset();
  boundPort_ = 0;
  active_ = false;
}

void THTTPServer::Listen(Socket& listener) {
  while (!stop_->Raised()) {
    std::optional<Socket> accepted = listener.Accept(kListenerTick, *stop_);
    if (!accepted) continue;
    std::lock_guard lock(connectionsMutex_);
    if (!MakeRoom()) continue;  // closed at once as `accepted` dies
    auto& connection = connections_.emplace_back(std::make_unique<Connection>(std::move(*accepted)));
    connection->place = std::prev(connections_.end());
    // Under the lock: the thread's handle is in place before the thread can
    // end and hand it on.
    try {
      connection->thread = platform::SmallStackThread([this, raw = connection.get()] { Serve(*raw); });
    } catch (const std::system_error&) {
      connections_.pop_back();  // no thread to be had: closed at once
    }
  }
}

// Under connectionsMutex_: whether one more connection may be served, after
// closing the oldest idle one if that is what it takes. Idle connections
// cost a thread each and can be opened by anyone, so they give way first.
bool THTTPServer::MakeRoom() {
  std::size_t open = 0;
  Connection* oldestIdle = nullptr;
  for (const auto& connection : connections_) {
    if (connection->evicted) continue;
    ++open;
    if (oldestIdle == nullptr && !connection->headRead) oldestIdle = connection.get();
  }
  if (open < MaxConnections) return true;
  if (oldestIdle == nullptr) return false;
  oldestIdle->evicted = true;
  oldestIdle->stop.Raise();
  return true;
}

void THTTPServer::Serve(Connection& connection) {
  {
    SocketHttpStream stream(connection.socket, connection.stop, Limits.sendTimeout);
    ServeConnection(stream, Limits, Handlers, connection.socket.PeerAddress(),
                    [&connection] { connection.headRead = true; });
  }
  CloseGracefully(connection);
  Leave(connection);  // the last use of `connection`, which it destroys
}

// The connection's last act: it takes itself off the list and joins the
// thread that left before it, which has ended or is about to, and leaves its
// own thread for the next one (or Stop) to join. No thread waits for another
// that is still serving, and the listeners never wait at all.
void THTTPServer::Leave(Connection& connection) {
  std::unique_ptr<Connection> self;
  platform::SmallStackThread previous;
  {
    std::lock_guard lock(connectionsMutex_);
    self = std::move(*connection.place);
    connections_.erase(connection.place);
    previous = std::move(lastFinished_);
    lastFinished_ = std::move(self->thread);
    if (connections_.empty()) connectionsLeft_.notify_all();
  }
  self.reset();
  previous.Join();
}

void THTTPServer::CloseGracefully(Connection& connection) {
  Socket& socket = connection.socket;
  socket.ShutdownSend();
  const auto deadline = DeadlineIn(Limits.lingerTimeout);
  std::size_t dropped = 0;
  char buffer[4096];
  try {
    while (dropped < Limits.lingerBytes) {
      const auto left = TimeLeftUntil(deadline);
      if (left.count() <= 0 || socket.WaitReadable(left, &connection.stop) != WaitResult::Ready) break;
      const auto got = socket.Receive(buffer, sizeof buffer);
      if (got && *got == 0) break;
      if (got) dropped += *got;
    }
  } catch (const SocketError&) {
  }
  socket.Close();
}

}  // namespace pavix::net
