// Frames, wire names, progress texts and the parser of terminal data.
#include "comm/session_protocol.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kaslo::comm {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string Framed(std::string body) {
  std::string frame;
  frame.reserve(body.size() + 3);
  frame += kStx;
  frame += body;
  frame += kEtx;
  frame += static_cast<char>(Checksum(frame));
  return frame;
}

}  // namespace

std::string WireName(char direction, std::string_view file_name) {
  std::string name(1, direction);
  name += file_name.substr(0, kWireFileNameSize);
  name.resize(kWireNameSize, ' ');
  return name;
}

std::string WireFile(std::string_view wire_name) {
  std::string file;
  for (char c : wire_name) {
    if (c != ' ') file += c;
  }
  return file;
}

uint8_t Checksum(std::string_view frame) {
  unsigned sum = 0;
  for (unsigned char c : frame) sum += c;
  return static_cast<uint8_t>(sum & 0xFF);
}

std::string RequestFrame(std::string_view wire_name) { return Framed(std::string(wire_name)); }

std::string FileHeaderFrame(std::string_view wire_name, uint64_t size) {
  return Framed(std::string(wire_name) + std::to_string(size));
}

std::string TerminalHeaderFrame(std::string_view wire_name, std::optional<uint64_t> size) {
  return Framed(std::string(wire_name) + (size ? std::to_string(*size) : std::string(kUnknownSize)));
}

std::string EndFrame() { return Framed("X"); }

std::string NoDataReply() { return std::string(kNoDataGreeting) + std::string(kNoDataText); }

std::string SendProgressText(uint64_t done, uint64_t total, uint64_t base) {
  if (total == base) return "0 %";
  if (total < base) return "100 %";
  uint64_t sent = done > base ? done - base : 0;
  uint64_t percent = sent * 100 / (total - base);
  if (percent >= 100) return "100 %";
  return std::to_string(percent) + " %";
}

std::optional<std::string> ReceiveProgressText(uint64_t remaining, uint64_t total, uint64_t base) {
  if (remaining == total) return std::nullopt;
  if (remaining <= base) return "0 %";
  return std::to_string((remaining - base) * 100 / (total - base)) + " %";
}

SizeField ParseSizeField(std::string_view field) {
  field = Trim(field);
  if (field == kUnknownSize) return {SizeField::kUnknown, 0};
  std::string number;
  for (char c : field) {
    if (c == ',') c = '.';
    if (std::string_view("0123456789.-").find(c) == std::string_view::npos) break;
    number += c;
  }
  // A blank or non-numeric size reads as 0, as the text-to-number routine
  // reads it: an empty file, and the reading goes on with the next request.
  if (number.empty()) return {SizeField::kKnown, 0};
  char* end = nullptr;
  double value = std::strtod(number.c_str(), &end);
  // "12-3" or "1.2.3": only a prefix is a number, like the text-to-number
  // routine reads it.
  if (end == number.c_str()) return {SizeField::kKnown, 0};
  if (!std::isfinite(value) || value < 0) return {};
  if (value >= 18446744073709551615.0) return {SizeField::kKnown, UINT64_MAX};
  return {SizeField::kKnown, static_cast<uint64_t>(value)};
}

ReceiveParser::Result ReceiveParser::Feed(std::string_view bytes, ReceiveSink& sink) {
  while (!bytes.empty()) {
    Result result;
    if (remaining_ == 0) {
      result = ParseHeader(bytes, sink);
    } else if (unknown_) {
      result = ParseUnknown(bytes, sink);
    } else {
      result = ParseKnown(bytes, sink);
    }
    if (result != Result::kContinue) return result;
  }
  return Result::kContinue;
}

// A header is complete when its ETX and the checksum byte after it have
// arrived; until then the bytes wait for the next read (a header split
// across two reads is not an error). Bytes before the STX are noise.
ReceiveParser::Result ReceiveParser::ParseHeader(std::string_view& bytes, ReceiveSink& sink) {
  if (header_.empty()) {
    size_t stx = bytes.find(kStx);
    if (stx == std::string_view::npos) {
      bytes = {};
      return Result::kContinue;
    }
    bytes.remove_prefix(stx);
  }
  // Look for the ETX only in the part not searched before.
  size_t searched = header_.size();
  size_t etx = std::string_view(header_).find(kEtx, 1);
  size_t take;
  if (etx == std::string::npos) {
    size_t in_bytes = bytes.find(kEtx, searched == 0 ? 1 : 0);
    if (in_bytes == std::string_view::npos) {
      take = bytes.size();
    } else {
      take = std::min(bytes.size(), in_bytes + 2);  // ETX and the checksum byte
    }
  } else {
    take = std::min(bytes.size(), etx + 2 - header_.size());
  }
  header_.append(bytes.substr(0, take));
  bytes.remove_prefix(take);

  etx = std::string_view(header_).find(kEtx, 1);
  if (etx == std::string::npos || etx + 1 >= header_.size()) {
    if (header_.size() > kMaxHeaderSize) header_.clear();  // no frame: drop it
    return Result::kContinue;
  }
  std::string frame = std::move(header_);
  header_.clear();
  uint8_t expected = static_cast<uint8_t>(frame[etx + 1]);
  std::string_view body(frame.data(), etx + 1);
  // A wrong checksum, or our own "R" frame echoed, is dropped with
  // everything read so far; reading goes on.
  if (Checksum(body) != expected || (body.size() > 1 && body[1] == 'R')) {
    bytes = {};
    return Result::kContinue;
  }
  std::string_view field = etx > kSizeFieldOffset ? body.substr(kSizeFieldOffset, etx - kSizeFieldOffset)
                                                  : std::string_view();
  SizeField size = ParseSizeField(field);
  if (size.kind == SizeField::kInvalid) return Result::kInvalidSize;
  if (size.kind == SizeField::kKnown && size.size > kMaxReceivedFileSize) return Result::kTooLarge;
  unknown_ = size.kind == SizeField::kUnknown;
  written_ = 0;
  tail_.clear();
  if (!sink.OnHeader(unknown_ ? std::nullopt : std::optional<uint64_t>(size.size))) return Result::kEnd;
  if (!unknown_ && size.size == 0) {
    return sink.OnComplete() ? Result::kContinue : Result::kEnd;
  }
  remaining_ = unknown_ ? 1 : size.size;
  total_ = remaining_;
  return Result::kContinue;
}

ReceiveParser::Result ReceiveParser::ParseKnown(std::string_view& bytes, ReceiveSink& sink) {
  uint64_t take = std::min<uint64_t>(remaining_, bytes.size());
  if (!sink.OnData(bytes.substr(0, take))) return Result::kEnd;
  bytes.remove_prefix(take);
  remaining_ -= take;
  // Also after the piece that ends the file, so that a finished file
  // shows "0 %" whether or not the piece held more than its rest.
  sink.OnProgress(remaining_, total_);
  if (remaining_ > 0) return Result::kContinue;
  return sink.OnComplete() ? Result::kContinue : Result::kEnd;
}

// Unknown size: the data end with the marker. The terminal sends nothing
// after it until the next request, so the marker is recognised where what
// has arrived ends; it may arrive split over several reads. Only the bytes
// at the end that could begin it (nine at most) are held back, so none of
// its bytes reaches the file; the rest goes on as it lies in the read, and
// a read is copied only when bytes held back must go before it.
ReceiveParser::Result ReceiveParser::ParseUnknown(std::string_view& bytes, ReceiveSink& sink) {
  std::string joined;
  std::string_view window = bytes;
  if (!tail_.empty()) {
    joined = tail_;
    joined.append(bytes);
    window = joined;
  }
  bytes = {};
  const size_t marker = kDataEndMarker.size();
  if (window.size() >= marker && window.substr(window.size() - marker) == kDataEndMarker) {
    size_t data = window.size() - marker;
    if (written_ + data > kMaxReceivedFileSize) return Result::kTooLarge;
    if (data > 0 && !sink.OnData(window.substr(0, data))) return Result::kEnd;
    tail_.clear();
    remaining_ = 0;
    sink.OnProgress(0, total_);
    return sink.OnComplete() ? Result::kContinue : Result::kEnd;
  }
  size_t keep = std::min(window.size(), marker - 1);
  while (keep > 0 && window.substr(window.size() - keep) != kDataEndMarker.substr(0, keep)) --keep;
  size_t emit = window.size() - keep;
  if (written_ + emit > kMaxReceivedFileSize) return Result::kTooLarge;
  if (emit > 0 && !sink.OnData(window.substr(0, emit))) return Result::kEnd;
  written_ += emit;
  tail_.assign(window.substr(emit));
  return Result::kContinue;
}

}  // namespace kaslo::comm
