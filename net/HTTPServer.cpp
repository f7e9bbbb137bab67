#include "HTTPServer.h"

#include <algorithm>
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
  // The serving worker's, raised to close this connection early, or by Stop.
  StopSignal* stop = nullptr;
  std::list<std::unique_ptr<Connection>>::iterator place;  // in connections_
  std::atomic<bool> headRead{false};
  bool evicted = false;  // under connectionsMutex_
};

// A thread that serves one connection after another.
struct THTTPServer::Worker {
  platform::SmallStackThread thread;
  std::list<std::unique_ptr<Worker>>::iterator place;  // in workers_
  // Under connectionsMutex_: the connection being served, or none while idle.
  Connection* connection = nullptr;
  std::condition_variable handedOver;  // a connection arrived, or the stop
  StopSignal stop;  // of the connection being served; rearmed for the next
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

std::size_t THTTPServer::ConnectionThreads() const {
  std::lock_guard lock(connectionsMutex_);
  return workers_.size();
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
  // handler that is running finishes first. Idle workers end at once.
  std::unique_lock lock(connectionsMutex_);
  stopping_ = true;
  for (auto& connection : connections_) connection->stop->Raise();
  for (Worker* idle : idleWorkers_) idle->handedOver.notify_one();
  workersLeft_.wait(lock, [this] { return workers_.empty(); });
  // The last worker to retire joined the one before it, and so on.
  platform::SmallStackThread last = std::move(lastRetired_);
  stopping_ = false;
  lock.unlock();
  last.Join();
  stop_.reset();
  boundPort_ = 0;
  active_ = false;
}

void THTTPServer::Listen(Socket& listener) {
  while (!stop_->Raised()) {
    std::optional<Socket> accepted = listener.Accept(kListenerTick, *stop_);
    if (accepted) HandOver(std::make_unique<Connection>(std::move(*accepted)));
  }
}

// To the worker that became idle last, whose stack and caches are warm, or
// to a new one. A connection that finds no room, or no thread to be had,
// is closed at once as it dies here.
void THTTPServer::HandOver(std::unique_ptr<Connection> connection) {
  std::lock_guard lock(connectionsMutex_);
  if (!MakeRoom()) return;
  Connection& listed = *connections_.emplace_back(std::move(connection));
  listed.place = std::prev(connections_.end());
  if (!idleWorkers_.empty()) {
    Worker& worker = *idleWorkers_.back();
    idleWorkers_.pop_back();
    // Nobody raises the stop of an idle worker: its last connection is off
    // the list.
    worker.stop.Rearm();
    listed.stop = &worker.stop;
    worker.connection = &listed;
    worker.handedOver.notify_one();
    return;
  }
  Worker& worker = *workers_.emplace_back(std::make_unique<Worker>());
  worker.place = std::prev(workers_.end());
  listed.stop = &worker.stop;
  worker.connection = &listed;
  // Under the lock: the thread's handle is in place before the thread can
  // retire and hand it on.
  try {
    worker.thread = platform::SmallStackThread([this, &worker] { Work(worker); });
  } catch (const std::system_error&) {
    workers_.pop_back();
    connections_.pop_back();
  }
}

void THTTPServer::Work(Worker& worker) {
  std::unique_lock lock(connectionsMutex_);
  for (;;) {
    if (worker.connection == nullptr) {
      idleWorkers_.push_back(&worker);
      worker.handedOver.wait_for(lock, IdleThreadLifetime,
                                 [&] { return worker.connection != nullptr || stopping_; });
      if (worker.connection == nullptr) {
        idleWorkers_.erase(std::find(idleWorkers_.begin(), idleWorkers_.end(), &worker));
        break;
      }
    }
    Connection& connection = *worker.connection;
    lock.unlock();
    Serve(connection);
    lock.lock();
    std::unique_ptr<Connection> served = std::move(*connection.place);
    connections_.erase(connection.place);
    worker.connection = nullptr;
    lock.unlock();
    served.reset();
    lock.lock();
    if (stopping_) break;
  }
  Retire(worker, lock);
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
  oldestIdle->stop->Raise();
  return true;
}

void THTTPServer::Serve(Connection& connection) {
  bool readToTheEnd = false;
  {
    SocketHttpStream stream(connection.socket, *connection.stop, Limits.sendTimeout);
    readToTheEnd = ServeConnection(stream, Limits, Handlers, connection.socket.PeerAddress(),
                                   [&connection] { connection.headRead = true; });
  }
  // A peer whose request was read to its end, and that sent nothing after
  // it, has nothing more to send: closing at once sends the end of the
  // stream as usual. Any other peer may still be sending, and bytes left
  // unread would make the system reset the connection, which can destroy
  // the answer before the peer has read it.
  if (readToTheEnd && !connection.socket.HasBytesWaiting()) {
    connection.socket.Close();
    return;
  }
  CloseGracefully(connection);
}

// The worker's last act, under the lock: it takes itself off the list and
// joins the worker that retired before it, which has ended or is about to,
// and leaves its own thread for the next one (or Stop) to join. No thread
// waits for one that is still serving, and the listeners never wait at all.
void THTTPServer::Retire(Worker& worker, std::unique_lock<std::mutex>& lock) {
  std::unique_ptr<Worker> self = std::move(*worker.place);
  workers_.erase(worker.place);
  platform::SmallStackThread previous = std::move(lastRetired_);
  lastRetired_ = std::move(self->thread);
  if (workers_.empty()) workersLeft_.notify_all();
  lock.unlock();
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
      if (left.count() <= 0 || socket.WaitReadable(left, connection.stop) != WaitResult::Ready) break;
      const auto got = socket.Receive(buffer, sizeof buffer);
      if (got && *got == 0) break;
      if (got) dropped += *got;
    }
  } catch (const SocketError&) {
  }
  socket.Close();
}

}  // namespace pavix::net
