// The server: one listener thread, one thread per connection. Finished
// connection threads are joined by the listener, which looks for them
// between connections as well, so that an idle server holds no thread of a
// terminal that has gone; stop() joins the rest.
#include "comm/server.h"

#include <chrono>
#include <thread>

#include "comm/session.h"

namespace kaslo::comm {
namespace {

// How long the listener waits for a connection before it joins the threads
// of the sessions that ended meanwhile.
constexpr int kReapIntervalMs = 200;

}  // namespace

uint16_t PortFromText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty() || text.size() > 5) return kDefaultPort;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return kDefaultPort;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value >= 1 && value <= 65535 ? static_cast<uint16_t>(value) : kDefaultPort;
}

struct TMavtroneServer::Connection {
  Socket socket;
  // Taken when accepted: a terminal that resets the connection at once
  // has no address left to ask for, and would otherwise show up as a new
  // terminal without one.
  std::string peer;
  std::thread thread;
  bool closed = false;            // guarded by sessions_mutex_
  std::atomic<bool> done{false};  // the thread has nothing left to do
};

TMavtroneServer::TMavtroneServer(ServerJob job, TerminalList& list) : job_(std::move(job)), list_(list) {}

TMavtroneServer::~TMavtroneServer() { stop(); }

bool TMavtroneServer::start(uint16_t port, const std::string& bind_address) {
  if (listen_thread_.joinable() || stopping_) {
    start_error_ = "server already started";
    return false;
  }
  listener_ = Socket::Listen(bind_address, port, &start_error_);
  if (!listener_.valid()) return false;
  port_ = listener_.LocalPort();
  listen_thread_ = std::thread(&TMavtroneServer::ListenLoop, this);
  return true;
}

uint16_t TMavtroneServer::port() const { return port_; }

void TMavtroneServer::ListenLoop() {
  while (!stopping_) {
    if (!listener_.Readable(kReapIntervalMs)) {
      ReapFinished();
      continue;
    }
    std::string peer;
    Socket socket = listener_.Accept(&peer);
    if (stopping_) break;
    if (!socket.valid()) {
      // Out of descriptors or a passing network error: try again shortly.
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      continue;
    }
    ReapFinished();
    std::lock_guard lock(sessions_mutex_);
    if (connections_.size() >= kMaxConnections) continue;  // closed at once
    auto connection = std::make_unique<Connection>();
    connection->socket = std::move(socket);
    connection->peer = peer.substr(0, 20);
    Connection* raw = connection.get();
    connections_.push_back(std::move(connection));
    raw->thread = std::thread(&TMavtroneServer::Serve, this, raw);
  }
}

void TMavtroneServer::Serve(Connection* connection) {
  TTerminalSession session(job_, list_, connection->socket, connection->peer, stopping_);
  session.Run();
  {
    std::lock_guard lock(sessions_mutex_);
    connection->socket.Close();
    connection->closed = true;
  }
  connection->done = true;
}

void TMavtroneServer::ReapFinished() {
  std::lock_guard lock(sessions_mutex_);
  for (auto it = connections_.begin(); it != connections_.end();) {
    if ((*it)->done) {
      (*it)->thread.join();
      it = connections_.erase(it);
    } else {
      ++it;
    }
  }
}

void TMavtroneServer::stop() {
  stopping_ = true;
  listener_.Shutdown();
  if (listen_thread_.joinable()) listen_thread_.join();
  listener_.Close();
  std::list<std::unique_ptr<Connection>> connections;
  {
    std::lock_guard lock(sessions_mutex_);
    for (auto& connection : connections_) {
      if (!connection->closed) connection->socket.Shutdown();
    }
    connections.swap(connections_);
  }
  for (auto& connection : connections) {
    if (connection->thread.joinable()) connection->thread.join();
  }
}

size_t TMavtroneServer::connectionThreads() const {
  std::lock_guard lock(sessions_mutex_);
  return connections_.size();
}

size_t TMavtroneServer::activeSessions() const {
  std::lock_guard lock(sessions_mutex_);
  size_t active = 0;
  for (const auto& connection : connections_) {
    if (!connection->done) ++active;
  }
  return active;
}

}  // namespace kaslo::comm
