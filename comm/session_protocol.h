// The byte protocol between the server and the cash-register terminals:
// wire names, frames and their checksum, the progress texts of a transfer
// and the parser of what a terminal sends back. No sockets here: the
// session (comm/session.h) and the simulated terminal both build on it.
//
// Wire name: 13 ASCII characters, a direction letter and a file name padded
// with blanks (or cut) to 12. "R" the server sends the file, "S" it asks for
// a register, "G" for a report, "C" a command ("CZLogs.dad").
//
// Request frame, server to terminal:
//   OFFSET SIZE DESCRIPTION
//        0    1 STX 0x02
//        1   13 wire name
//       14    1 ETX 0x03
//       15    1 checksum: sum of bytes 0..14 modulo 256
//
// File header frame, server to terminal, followed by exactly `size` raw
// content bytes (no framing, no acknowledgement):
//   OFFSET SIZE DESCRIPTION
//        0    1 STX 0x02
//        1   13 wire name ("R...")
//       14    n size in bytes, decimal digits, no padding
//     14+n    1 ETX 0x03
//     15+n    1 checksum: sum of bytes 0..14+n modulo 256
//
// End frame: 02 58 03 5D (STX, "X", ETX, checksum).
// No-data reply: "<<<Conectado Kaslo Roza Application>>>\r\n"
//                "Sem dados para Envio\r\n", then the server closes.
//
// Terminal file header, terminal to server, followed by the data:
//   OFFSET SIZE DESCRIPTION
//        0    1 STX 0x02
//        1   13 wire name (not used by the server)
//       14    n size field, blanks around it ignored: decimal size, or
//               "NNNNN" when the size is unknown and the data end with the
//               marker CC BB CC BB CC BB CC BB CC BB (not part of the data)
//     14+n    1 ETX 0x03
//     15+n    1 checksum: sum of bytes 0..14+n modulo 256
//
// Identity answer (complete product load): the terminal's answer to the
// "Sid.dad" request read as exactly 43 bytes, that is an 18-byte header
// announcing 25 bytes plus the 25 bytes; byte 40 (counted from 1) is the
// terminal model, greater than "3" for the 86-byte product records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kaslo::comm {

inline constexpr char kStx = 0x02;
inline constexpr char kEtx = 0x03;
inline constexpr size_t kWireNameSize = 13;
inline constexpr size_t kWireFileNameSize = 12;
// Offset of the size field in a file header frame.
inline constexpr size_t kSizeFieldOffset = 1 + kWireNameSize;
inline constexpr std::string_view kUnknownSize = "NNNNN";
inline constexpr std::string_view kDataEndMarker = "\xCC\xBB\xCC\xBB\xCC\xBB\xCC\xBB\xCC\xBB";
inline constexpr std::string_view kNoDataGreeting = "<<<Conectado Kaslo Roza Application>>>\r\n";
inline constexpr std::string_view kNoDataText = "Sem dados para Envio\r\n";
inline constexpr size_t kIdentitySize = 43;
inline constexpr size_t kIdentityModelOffset = 39;  // the 40th byte
// A terminal may announce at most this many bytes for one file.
inline constexpr uint64_t kMaxReceivedFileSize = 64ull << 20;

// Letter + `file_name` padded with blanks or cut to 12 characters.
std::string WireName(char direction, std::string_view file_name);
// The file of a wire name: the wire name without any blank ("RProds.dad").
std::string WireFile(std::string_view wire_name);
// Sum of the bytes modulo 256.
uint8_t Checksum(std::string_view frame_from_stx_to_etx);

std::string RequestFrame(std::string_view wire_name);
std::string FileHeaderFrame(std::string_view wire_name, uint64_t size);
// The header a terminal sends before its data; nullopt size gives "NNNNN".
std::string TerminalHeaderFrame(std::string_view wire_name, std::optional<uint64_t> size);
std::string EndFrame();
std::string NoDataReply();

// Progress text of the sending side once `done` has grown by one block:
// trunc(100 * (done - base) / (total - base)) + " %", "100 %" from 100 on,
// "0 %" when total equals base. A file smaller than one block (total below
// base) is complete after its first block and shows "100 %".
std::string SendProgressText(uint64_t done, uint64_t total, uint64_t base);
// Progress text of the receiving side (the share still to come), or
// nullopt while nothing has arrived (remaining equals total).
std::optional<std::string> ReceiveProgressText(uint64_t remaining, uint64_t total, uint64_t base);

// The size field of a terminal header, blanks removed: "NNNNN" is unknown;
// otherwise commas become points and the leading run of "0123456789.-" is
// read as a number, cut to a whole number. A blank field, or one without a
// number, is 0.
struct SizeField {
  enum Kind { kKnown, kUnknown, kInvalid } kind = kInvalid;  // kInvalid: negative
  uint64_t size = 0;
};
SizeField ParseSizeField(std::string_view field);

// What the parser asks of the session while it reads a terminal's data.
class ReceiveSink {
 public:
  virtual ~ReceiveSink() = default;
  // A valid header announced a file (`size` nullopt: ends with the marker).
  // Create the empty target; false ends the session.
  virtual bool OnHeader(std::optional<uint64_t> size) = 0;
  // The next bytes of the current file; false ends the session.
  virtual bool OnData(std::string_view bytes) = 0;
  // Progress after every piece of a file of known size, the last one
  // included (remaining 0); and remaining 0 when an unknown-size file ends.
  virtual void OnProgress(uint64_t remaining, uint64_t total) {}
  // The current file is complete; send the next request and return true,
  // or false to end the session.
  virtual bool OnComplete() = 0;
};

// Parses the bytes a terminal sends, in whatever pieces they arrive:
// headers (checked by their checksum), data of known size, data up to the
// end marker. Holds only a header being assembled and at most the last
// nine bytes that may begin the end marker, never a whole file.
class ReceiveParser {
 public:
  enum class Result {
    kContinue,      // read more
    kEnd,           // the sink ended the session
    kInvalidSize,   // a header with a negative size
    kTooLarge,      // a file above kMaxReceivedFileSize
  };

  // Feeds the next bytes read; once a result other than kContinue has been
  // returned the parser must not be fed again.
  Result Feed(std::string_view bytes, ReceiveSink& sink);

  bool expectingHeader() const { return remaining_ == 0; }
  // Bytes of a pending header kept so far (tests).
  size_t pendingHeaderBytes() const { return header_.size(); }

  // A header still without its ETX after this many bytes is dropped.
  static constexpr size_t kMaxHeaderSize = 256;

 private:
  Result ParseHeader(std::string_view& bytes, ReceiveSink& sink);
  Result ParseKnown(std::string_view& bytes, ReceiveSink& sink);
  Result ParseUnknown(std::string_view& bytes, ReceiveSink& sink);

  std::string header_;     // bytes of a header not yet complete
  uint64_t remaining_ = 0; // 0: expecting a header
  uint64_t total_ = 0;
  bool unknown_ = false;
  uint64_t written_ = 0;   // bytes written of an unknown-size file
  std::string tail_;       // unknown size: bytes held back that may begin the marker
};

}  // namespace kaslo::comm
