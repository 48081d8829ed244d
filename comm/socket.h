// A connected or listening TCP socket (plain POSIX), the only place where
// the server and the simulated terminal touch the network. Move-only; the
// descriptor is closed by the destructor. Shutdown() may be called from
// another thread to wake a blocked Accept() or Read(); everything else
// belongs to the thread that owns the socket.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaslo::comm {

class Socket {
 public:
  Socket() = default;
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket();
  Socket(Socket&& other) noexcept;
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;

  // A listening socket on address:port with SO_REUSEADDR; port 0 picks a
  // free port (see LocalPort()). Invalid socket and `error` set on failure.
  static Socket Listen(const std::string& address, uint16_t port, std::string* error);
  // Connects to address:port, first binding to the local address `from`
  // when it is not empty (a terminal playing 127.0.0.5). Waits at most
  // timeout_ms for the connection.
  static Socket Connect(const std::string& address, uint16_t port, const std::string& from,
                        int timeout_ms, std::string* error);
  // A connected pair of local sockets that keep message boundaries (each
  // write is read as one piece): tests use it to see every block written.
  static bool Pair(Socket* a, Socket* b);

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Waits for a connection; invalid socket when the listener was shut down
  // or failed. `peer_address`, when given, receives the peer's numeric
  // address, known here even if the peer resets the connection at once
  // (PeerAddress() would then be empty).
  Socket Accept(std::string* peer_address = nullptr);
  // Waits at most timeout_ms until a read or an accept would not block.
  // True also when the socket was shut down or failed: the call that
  // follows reports it.
  bool Readable(int timeout_ms) const;

  // Result of a read: bytes read (> 0), or one of the negative codes.
  static constexpr long kClosed = 0;
  static constexpr long kTimeout = -1;
  static constexpr long kError = -2;
  // Reads what has arrived, waiting at most timeout_ms (negative: no
  // limit) for the first byte.
  long ReadSome(char* buffer, size_t capacity, int timeout_ms);
  // Reads exactly `size` bytes, waiting at most timeout_ms for each piece.
  // False on time-out, close or error (the bytes read so far are lost).
  bool ReadExact(char* buffer, size_t size, int timeout_ms);
  // Writes every byte; false when the peer is gone or the socket failed.
  bool WriteAll(std::string_view bytes);

  // Ends both directions; wakes a thread blocked on this socket.
  void Shutdown();
  // Sends what is queued, tells the peer that no more data come, reads and
  // drops what the peer still sends for at most linger_ms, then closes.
  // Closing with unread input would reset the connection and could lose
  // the last frame on its way to the terminal.
  void CloseGracefully(int linger_ms);
  // The same without the final close: the descriptor stays valid, so that
  // another thread may still call Shutdown() on it safely.
  void FinishGracefully(int linger_ms);
  void Close();

  // Numeric address of the peer ("127.0.0.2"); empty when unknown.
  std::string PeerAddress() const;
  uint16_t LocalPort() const;

 private:
  int fd_ = -1;
};

}  // namespace kaslo::comm
