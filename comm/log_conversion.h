// The LOG conversion: a terminal's LOG arrives as binary records, each ended
// by the byte 0xCC, in "SLogs<n>.rec". It is turned into text lines, one per
// record, in "SLogs<n>.trz" and in the month file "SLG<mmyyyy><n>.trz", which
// the daily SINTEGRA generation reads later.
//
// A line holds each byte as two upper-case hexadecimal digits, except the
// raw text tail of two record kinds, whose bytes are copied as they are:
//   FIRST BYTES  TAIL (counted from 1)
//   63           bytes 24 onwards
//   60 01        bytes 3 onwards
// The byte 0xCC, also inside a tail, adds "CC" and ends the line (CR LF).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace kaslo::comm {

// The text line of one record, without its line end. `record` is the
// record's bytes, its closing 0xCC included when present.
std::string LogRecordLine(std::string_view record);

// Converts dir/"SLogs<terminal>.rec". "SLogs<terminal>.trz" is appended to
// when `log_clear` is on (the terminal's LOG is emptied after each reading,
// so the file collects every reading), otherwise written anew; the month
// file of `now` is always appended to. The source is deleted afterwards.
// A missing source changes nothing. Throws std::runtime_error naming the
// file when a target cannot be written (the source is then kept).
void ConvertLog(const std::filesystem::path& dir, int terminal, bool log_clear, kaslo::DateTime now);

// "SLG" + mmyyyy + terminal + ".trz".
std::string MonthLogFileName(int terminal, kaslo::DateTime now);

}  // namespace kaslo::comm
