// The simulated cash-register terminal: connects to the server as a
// terminal would and answers its frames from files, so that a load, a
// reading or a LOG can be tried without hardware.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kaslo::tools {

struct TerminalOptions {
  std::string server = "127.0.0.1";
  uint16_t port = 3010;
  std::string from = "127.0.0.1";        // local address to connect from
  char model = '4';                      // model digit of a made-up identity
  std::filesystem::path receive_dir = ".";
  std::filesystem::path send_dir = ".";
  bool unknown_size = false;             // announce "NNNNN" and end with the marker
  size_t chunk = 0;                      // 0: all data in one write
  int chunk_pause_ms = 20;
  bool silent = false;                   // never answer a request
  bool corrupt_first_header = false;     // first header with a wrong checksum
  int timeout_s = 60;
};

// One line per event, without the line end ("127.0.0.2 end").
using EventSink = std::function<void(const std::string& line)>;

// Plays one terminal to its end. True when the server ended the session
// with the end frame or the no-data reply; false on a connection error, a
// bad frame, a close without either, or the time-out.
bool RunTerminal(const TerminalOptions& options, const EventSink& events);

// The 25-byte identity answered to "Sid.dad" when the send folder has none:
// its 22nd character is the model digit.
std::string MadeUpIdentity(const std::string& address, char model);

// "127.0.0.1" + 4 gives "127.0.0.5"; empty when the address is not IPv4.
std::string NextAddress(const std::string& address, unsigned offset);

}  // namespace kaslo::tools
