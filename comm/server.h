// TMavtroneServer: the TCP server of a communication job. The terminals are
// the clients; each accepted connection runs one TTerminalSession on its own
// thread, which pushes the job's load files to the terminal or asks it for a
// register, report or LOG and stores the answer in the exchange directory.
// One listener thread accepts connections; stop() ends and joins them all.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "comm/socket.h"
#include "comm/terminal_list.h"

namespace kaslo::comm {

// What every session of one job reads. Fixed before start(); the sessions
// read it without a lock.
struct ServerJob {
  int job_kind = 0;
  std::filesystem::path exchange_dir;  // the data directory
  std::string first_wire_name;         // 13 characters, from the job preparation
  bool log_clear = false;              // the LOG-clear option (Q40_LOGZ is "S")
};

inline constexpr uint16_t kDefaultPort = 3010;
// More simultaneous connections than this are closed as soon as accepted.
inline constexpr size_t kMaxConnections = 64;

// The port typed in the window: text that is not a whole number between 1
// and 65535 (blanks around it allowed) gives 3010.
uint16_t PortFromText(std::string_view text);

class TTerminalSession;

class TMavtroneServer {
 public:
  // `list` must outlive the server.
  TMavtroneServer(ServerJob job, TerminalList& list);
  ~TMavtroneServer();  // stop()

  TMavtroneServer(const TMavtroneServer&) = delete;
  TMavtroneServer& operator=(const TMavtroneServer&) = delete;

  // Listens on `port` (0 picks a free one, see port()) and starts the
  // listener thread. False when the listener could not start (the window
  // reports the server as started all the same); calling it twice fails.
  bool start(uint16_t port, const std::string& bind_address = "0.0.0.0");
  // The port listened on; 0 before a successful start().
  uint16_t port() const;
  // Closes the listener and every connection and joins all threads. Safe to
  // call more than once; not from a session's own thread.
  void stop();
  // Sessions whose connection is still being served.
  size_t activeSessions() const;
  // Connection threads not yet joined: the active sessions and those that
  // ended less than a fraction of a second ago.
  size_t connectionThreads() const;

  // The last error of start() (for logs and the command line).
  const std::string& startError() const { return start_error_; }

 private:
  struct Connection;

  void ListenLoop();
  void Serve(Connection* connection);
  void ReapFinished();

  const ServerJob job_;
  TerminalList& list_;
  Socket listener_;
  std::atomic<uint16_t> port_{0};
  std::atomic<bool> stopping_{false};
  std::thread listen_thread_;
  std::string start_error_;

  mutable std::mutex sessions_mutex_;  // guards connections_
  std::list<std::unique_ptr<Connection>> connections_;
};

}  // namespace kaslo::comm
