// The LOG conversion of a terminal's LOG reading: the source is read block
// by block and each record becomes one line in both targets.
#include "comm/log_conversion.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;

constexpr unsigned char kRecordEnd = 0xCC;
constexpr unsigned char kTextRecord = 0x63;
constexpr size_t kTextRecordTail = 23;    // 0-based: the 24th byte on
constexpr unsigned char kMessageRecord = 0x60;
constexpr unsigned char kMessageRecordSub = 0x01;
constexpr size_t kMessageRecordTail = 2;  // 0-based: the 3rd byte on

// Builds one line at a time as bytes arrive.
class LineBuilder {
 public:
  // Adds a byte; true when it ended the record (the line is complete).
  bool Add(unsigned char byte) {
    if (byte == kRecordEnd) {
      line_ += "CC";
      return true;
    }
    if (index_ == 0) first_ = byte;
    if (index_ == 1) second_ = byte;
    if (InTail()) {
      line_ += static_cast<char>(byte);
    } else {
      static const char kHex[] = "0123456789ABCDEF";
      line_ += kHex[byte >> 4];
      line_ += kHex[byte & 0x0F];
    }
    ++index_;
    return false;
  }

  bool empty() const { return line_.empty(); }
  std::string Take() {
    std::string line = std::move(line_);
    line_.clear();
    index_ = 0;
    first_ = second_ = -1;
    return line;
  }

 private:
  bool InTail() const {
    if (first_ == kTextRecord && index_ >= kTextRecordTail) return true;
    return first_ == kMessageRecord && second_ == kMessageRecordSub && index_ >= kMessageRecordTail;
  }

  std::string line_;
  size_t index_ = 0;
  int first_ = -1;
  int second_ = -1;
};

std::string TwoDigits(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof(text), "%02u", value % 100);
  return text;
}

std::ofstream OpenTarget(const fs::path& path, bool append) {
  std::ofstream out(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  if (!out) throw std::runtime_error(path.string() + ": cannot be written");
  return out;
}

}  // namespace

std::string LogRecordLine(std::string_view record) {
  LineBuilder builder;
  for (unsigned char c : record) {
    if (builder.Add(c)) break;
  }
  return builder.Take();
}

std::string MonthLogFileName(int terminal, kaslo::DateTime now) {
  return "SLG" + TwoDigits(static_cast<unsigned>(now.date.month())) +
         std::to_string(static_cast<int>(now.date.year())) + std::to_string(terminal) + ".trz";
}

void ConvertLog(const fs::path& dir, int terminal, bool log_clear, kaslo::DateTime now) {
  const std::string n = std::to_string(terminal);
  const fs::path source = dir / ("SLogs" + n + ".rec");
  std::ifstream in(source, std::ios::binary);
  if (!in) return;
  {
    std::ofstream logs = OpenTarget(dir / ("SLogs" + n + ".trz"), log_clear);
    std::ofstream month = OpenTarget(dir / MonthLogFileName(terminal, now), true);
    auto write_line = [&](const std::string& line) {
      logs << line << "\r\n";
      month << line << "\r\n";
    };
    LineBuilder builder;
    std::vector<char> block(65536);
    while (in) {
      in.read(block.data(), static_cast<std::streamsize>(block.size()));
      std::streamsize got = in.gcount();
      for (std::streamsize i = 0; i < got; ++i) {
        if (builder.Add(static_cast<unsigned char>(block[static_cast<size_t>(i)]))) write_line(builder.Take());
      }
    }
    // A last record cut off before its 0xCC still gets its line.
    if (!builder.empty()) write_line(builder.Take());
    logs.close();
    month.close();
    if (!logs || !month) throw std::runtime_error(source.string() + ": LOG text not completely written");
  }
  in.close();
  std::error_code ec;
  fs::remove(source, ec);
}

}  // namespace kaslo::comm
