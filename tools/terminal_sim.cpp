// The simulated terminal's side of the protocol: it reads the server's
// frames (request, file header with content, end frame, no-data reply) and
// answers requests with a terminal file header and the file's data.
#include "tools/terminal_sim.h"

#include <arpa/inet.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>
#include <vector>

#include "comm/session_protocol.h"
#include "comm/socket.h"

namespace kaslo::tools {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class Connection {
 public:
  Connection(comm::Socket socket, Clock::time_point deadline) : socket_(std::move(socket)), deadline_(deadline) {}

  // One byte; nullopt on close, error or time-out (timed_out() tells).
  std::optional<char> Byte() {
    if (pos_ == buffer_.size() && !Fill()) return std::nullopt;
    return buffer_[pos_++];
  }

  // Exactly n bytes handed to `out` in pieces; false on close or time-out.
  bool Exact(uint64_t n, const std::function<void(std::string_view)>& out) {
    while (n > 0) {
      if (pos_ == buffer_.size() && !Fill()) return false;
      size_t take = static_cast<size_t>(std::min<uint64_t>(n, buffer_.size() - pos_));
      out(std::string_view(buffer_.data() + pos_, take));
      pos_ += take;
      n -= take;
    }
    return true;
  }

  bool Write(std::string_view bytes) { return socket_.WriteAll(bytes); }
  bool timed_out() const { return timed_out_; }

 private:
  bool Fill() {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) {
      timed_out_ = true;
      return false;
    }
    buffer_.resize(65536);
    long n = socket_.ReadSome(buffer_.data(), buffer_.size(), static_cast<int>(left));
    if (n == comm::Socket::kTimeout) timed_out_ = true;
    if (n <= 0) {
      buffer_.clear();
      pos_ = 0;
      return false;
    }
    buffer_.resize(static_cast<size_t>(n));
    pos_ = 0;
    return true;
  }

  comm::Socket socket_;
  Clock::time_point deadline_;
  std::vector<char> buffer_;
  size_t pos_ = 0;
  bool timed_out_ = false;
};

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class Terminal {
 public:
  Terminal(const TerminalOptions& options, const EventSink& events) : o_(options), events_(events) {}

  bool Run() {
    std::string error;
    comm::Socket socket = comm::Socket::Connect(o_.server, o_.port, o_.from, o_.timeout_s * 1000, &error);
    if (!socket.valid()) {
      Say("error " + error);
      return false;
    }
    Connection c(std::move(socket), Clock::now() + std::chrono::seconds(o_.timeout_s));
    for (;;) {
      std::optional<char> first = c.Byte();
      if (!first) return Lost(c);
      if (*first == '<') return NoData(c);
      if (*first != comm::kStx) continue;
      std::string frame(1, comm::kStx);
      for (;;) {
        std::optional<char> b = c.Byte();
        if (!b) return Lost(c);
        frame += *b;
        if (*b == comm::kEtx) break;
      }
      std::optional<char> sum = c.Byte();
      if (!sum) return Lost(c);
      if (static_cast<uint8_t>(*sum) != comm::Checksum(frame)) {
        Say("error bad checksum");
        return false;
      }
      std::string body = frame.substr(1, frame.size() - 2);
      if (body == "X") {
        Say("end");
        return true;
      }
      if (body.size() < comm::kWireNameSize) {
        Say("error bad frame");
        return false;
      }
      std::string wire = body.substr(0, comm::kWireNameSize);
      std::string file = comm::WireFile(wire);
      switch (wire[0]) {
        case 'R':
          if (!Receive(c, file, body.substr(comm::kWireNameSize))) return Lost(c);
          break;
        case 'S':
        case 'G':
          if (o_.silent) {
            Say("ignored " + file);
          } else if (!Answer(c, wire, file)) {
            return Lost(c);
          }
          break;
        case 'C':
          Say("command " + file);
          break;
        default:
          Say("error unknown frame " + file);
          return false;
      }
    }
  }

 private:
  void Say(const std::string& text) { events_(o_.from + " " + text); }

  bool Lost(const Connection& c) {
    Say(c.timed_out() ? "error timed out" : "error connection closed");
    return false;
  }

  // The two lines of the no-data reply, then the server closes.
  bool NoData(Connection& c) {
    std::string text = "<";
    const std::string expected = comm::NoDataReply();
    while (text.size() < expected.size()) {
      std::optional<char> b = c.Byte();
      if (!b) break;
      text += *b;
    }
    if (text != expected) {
      Say("error unexpected text");
      return false;
    }
    Say("no data");
    return true;
  }

  bool Receive(Connection& c, const std::string& file, const std::string& size_text) {
    uint64_t size = 0;
    for (char d : size_text) {
      if (d < '0' || d > '9') {
        Say("error bad size " + size_text);
        return false;
      }
      size = size * 10 + static_cast<uint64_t>(d - '0');
    }
    std::error_code ec;
    fs::create_directories(o_.receive_dir, ec);
    std::ofstream out(o_.receive_dir / file, std::ios::binary | std::ios::trunc);
    if (!c.Exact(size, [&](std::string_view piece) { out.write(piece.data(), static_cast<std::streamsize>(piece.size())); }))
      return false;
    out.close();
    Say("received " + file + " " + std::to_string(size));
    return true;
  }

  // Larger answers go from disk in pieces of this size without pauses, so
  // that a big reading starts at once (the server waits 4 s for a header)
  // and the tool's memory stays small.
  static constexpr uint64_t kStreamPiece = 1 << 20;

  bool Answer(Connection& c, const std::string& wire, const std::string& file) {
    const fs::path path = o_.send_dir / file;
    std::error_code ec;
    const uint64_t on_disk = fs::is_regular_file(path, ec) ? fs::file_size(path, ec) : 0;
    if (!ec && on_disk > kStreamPiece && o_.chunk == 0 && !o_.corrupt_first_header)
      return StreamFile(c, wire, file, path, on_disk);
    std::optional<std::string> content = ReadFile(o_.send_dir / file);
    if (!content && file == "Sid.dad") content = MadeUpIdentity(o_.from, o_.model);
    std::string data = content.value_or("");
    std::optional<uint64_t> size;
    if (!o_.unknown_size) size = data.size();
    std::string header = comm::TerminalHeaderFrame(wire, size);
    if (o_.corrupt_first_header && !corrupted_) {
      corrupted_ = true;
      std::string bad = header;
      bad.back() = static_cast<char>(bad.back() + 1);
      if (!c.Write(bad)) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    std::string stream = header + data;
    if (o_.unknown_size) stream += comm::kDataEndMarker;
    size_t chunk = o_.chunk == 0 ? stream.size() : o_.chunk;
    // The header goes on its own when data are chunked, as a terminal
    // writes it; the data follow in pieces.
    size_t pos = 0;
    if (o_.chunk != 0) {
      if (!c.Write(header)) return false;
      pos = header.size();
    }
    while (pos < stream.size()) {
      if (pos > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o_.chunk_pause_ms));
      size_t n = std::min(chunk, stream.size() - pos);
      if (!c.Write(std::string_view(stream).substr(pos, n))) return false;
      pos += n;
    }
    Say("sent " + file + " " + std::to_string(data.size()));
    return true;
  }

  // The header with the first piece, then the rest of the file as read.
  bool StreamFile(Connection& c, const std::string& wire, const std::string& file, const fs::path& path,
                  uint64_t size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string out = comm::TerminalHeaderFrame(wire, o_.unknown_size ? std::nullopt : std::optional<uint64_t>(size));
    std::string piece(kStreamPiece, '\0');
    for (uint64_t left = size; left > 0;) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(left, kStreamPiece));
      if (!in.read(piece.data(), static_cast<std::streamsize>(n))) {
        Say("error cannot read " + path.string());
        return false;
      }
      out.append(piece.data(), n);
      if (!c.Write(out)) return false;
      out.clear();
      left -= n;
    }
    if (o_.unknown_size && !c.Write(comm::kDataEndMarker)) return false;
    Say("sent " + file + " " + std::to_string(size));
    return true;
  }

  const TerminalOptions& o_;
  const EventSink& events_;
  bool corrupted_ = false;
};

}  // namespace

bool RunTerminal(const TerminalOptions& options, const EventSink& events) {
  return Terminal(options, events).Run();
}

std::string MadeUpIdentity(const std::string& address, char model) {
  std::string identity = "KT" + address;
  identity.resize(21, ' ');
  identity += model;
  identity += "000";
  return identity;
}

std::string NextAddress(const std::string& address, unsigned offset) {
  in_addr addr{};
  if (inet_pton(AF_INET, address.c_str(), &addr) != 1) return {};
  addr.s_addr = htonl(ntohl(addr.s_addr) + offset);
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &addr, text, sizeof(text));
  return text;
}

}  // namespace kaslo::tools
