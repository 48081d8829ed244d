// POSIX sockets: poll() for every wait, MSG_NOSIGNAL for every write.
#include "comm/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace kaslo::comm {
namespace {

bool MakeAddress(const std::string& address, uint16_t port, sockaddr_in* out) {
  std::memset(out, 0, sizeof(*out));
  out->sin_family = AF_INET;
  out->sin_port = htons(port);
  return inet_pton(AF_INET, address.c_str(), &out->sin_addr) == 1;
}

void SetError(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}

// Waits until fd is ready for `events`; 1 ready, 0 time-out, -1 error.
int Wait(int fd, short events, int timeout_ms) {
  pollfd p{fd, events, 0};
  for (;;) {
    int n = ::poll(&p, 1, timeout_ms);
    if (n < 0 && errno == EINTR) continue;
    return n < 0 ? -1 : n;
  }
}

// "127.0.0.2"; empty for an address that is not IPv4.
std::string AddressText(const sockaddr_in& addr) {
  if (addr.sin_family != AF_INET) return {};
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &addr.sin_addr, text, sizeof(text));
  return text;
}

}  // namespace

Socket::~Socket() { Close(); }

Socket::Socket(Socket&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

Socket& Socket::operator=(Socket&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

Socket Socket::Listen(const std::string& address, uint16_t port, std::string* error) {
  sockaddr_in addr;
  if (!MakeAddress(address, port, &addr)) {
    if (error) *error = "invalid address " + address;
    return Socket();
  }
  Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.valid()) {
    SetError(error, "socket");
    return Socket();
  }
  int on = 1;
  ::setsockopt(s.fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
  if (::bind(s.fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
    SetError(error, "bind " + address + ":" + std::to_string(port));
    return Socket();
  }
  if (::listen(s.fd_, 128) != 0) {
    SetError(error, "listen");
    return Socket();
  }
  return s;
}

Socket Socket::Connect(const std::string& address, uint16_t port, const std::string& from,
                       int timeout_ms, std::string* error) {
  sockaddr_in addr;
  if (!MakeAddress(address, port, &addr)) {
    if (error) *error = "invalid address " + address;
    return Socket();
  }
  Socket s(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!s.valid()) {
    SetError(error, "socket");
    return Socket();
  }
  if (!from.empty()) {
    sockaddr_in local;
    if (!MakeAddress(from, 0, &local)) {
      if (error) *error = "invalid address " + from;
      return Socket();
    }
    if (::bind(s.fd_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
      SetError(error, "bind " + from);
      return Socket();
    }
  }
  int flags = ::fcntl(s.fd_, F_GETFL);
  ::fcntl(s.fd_, F_SETFL, flags | O_NONBLOCK);
  int rc = ::connect(s.fd_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
  if (rc != 0 && errno != EINPROGRESS) {
    SetError(error, "connect " + address + ":" + std::to_string(port));
    return Socket();
  }
  if (rc != 0) {
    if (Wait(s.fd_, POLLOUT, timeout_ms) != 1) {
      if (error) *error = "connect " + address + ":" + std::to_string(port) + ": timed out";
      return Socket();
    }
    int err = 0;
    socklen_t len = sizeof(err);
    ::getsockopt(s.fd_, SOL_SOCKET, SO_ERROR, &err, &len);
    if (err != 0) {
      errno = err;
      SetError(error, "connect " + address + ":" + std::to_string(port));
      return Socket();
    }
  }
  ::fcntl(s.fd_, F_SETFL, flags);
  return s;
}

bool Socket::Pair(Socket* a, Socket* b) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds) != 0) return false;
  *a = Socket(fds[0]);
  *b = Socket(fds[1]);
  return true;
}

Socket Socket::Accept(std::string* peer_address) {
  for (;;) {
    if (fd_ < 0) return Socket();
    sockaddr_in addr{};
    socklen_t len = sizeof(addr);
    int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_CLOEXEC);
    if (fd >= 0) {
      if (peer_address) *peer_address = AddressText(addr);
      return Socket(fd);
    }
    if (errno == EINTR || errno == ECONNABORTED) continue;
    return Socket();
  }
}

bool Socket::Readable(int timeout_ms) const { return fd_ < 0 || Wait(fd_, POLLIN, timeout_ms) != 0; }

long Socket::ReadSome(char* buffer, size_t capacity, int timeout_ms) {
  if (fd_ < 0) return kError;
  int ready = Wait(fd_, POLLIN, timeout_ms);
  if (ready == 0) return kTimeout;
  if (ready < 0) return kError;
  for (;;) {
    ssize_t n = ::recv(fd_, buffer, capacity, 0);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    return errno == ECONNRESET ? kClosed : kError;
  }
}

bool Socket::ReadExact(char* buffer, size_t size, int timeout_ms) {
  size_t got = 0;
  while (got < size) {
    long n = ReadSome(buffer + got, size - got, timeout_ms);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return true;
}

bool Socket::WriteAll(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void Socket::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

void Socket::CloseGracefully(int linger_ms) {
  FinishGracefully(linger_ms);
  Close();
}

void Socket::FinishGracefully(int linger_ms) {
  if (fd_ < 0) return;
  ::shutdown(fd_, SHUT_WR);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(linger_ms);
  char drop[4096];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    long n = ReadSome(drop, sizeof(drop), static_cast<int>(left.count()));
    if (n <= 0) break;
  }
}

void Socket::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

std::string Socket::PeerAddress() const {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  if (fd_ < 0 || ::getpeername(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return {};
  return AddressText(addr);
}

uint16_t Socket::LocalPort() const {
  sockaddr_in addr{};
  socklen_t len = sizeof(addr);
  if (fd_ < 0 || ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

}  // namespace kaslo::comm
