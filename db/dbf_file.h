// The DBF file: table header, field descriptors and the text encoding of
// field values inside a record. Whole records are handled by TableImpl; this
// file knows the bytes.
//
// Table header (dBase III+/IV), little-endian:
//
// OFFSET SIZE DESCRIPTION
//      0    1 version: 0x03 no memo, 0x83 dBase III memo, 0x8B dBase IV memo
//      1    3 date of last update: year - 1900, month, day
//      4    4 record count
//      8    2 header length = offset of record 1
//     10    2 record length, including the deleted flag
//     12   16 reserved (dBase IV transaction, encryption, multi-user)
//     28    1 production index flag: 1 when T.MDX belongs to the table
//     29    1 language driver (kept as found)
//     30    2 reserved
//     32 32*n field descriptors
//  32+32n   1 0x0D, end of the descriptors
//
// Field descriptor:
//
// OFFSET SIZE DESCRIPTION
//      0   11 name, NUL padded
//     11    1 type C N F L D M
//     12    4 reserved (some writers put the field's offset here)
//     16    1 length
//     17    1 decimal count
//     18   13 reserved
//     31    1 dBase IV: field has a tag in the production index
//
// Records follow the header: byte 0 is ' ' (live) or '*' (deleted), then
// the fields in descriptor order; 0x1A follows the last record.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/field.h"

namespace kaslo::db::internal {

constexpr size_t kDbfHeaderSize = 32;
constexpr size_t kDescriptorSize = 32;
constexpr size_t kOffVersion = 0;
constexpr size_t kOffDate = 1;
constexpr size_t kOffRecordCount = 4;
constexpr size_t kOffHeaderLength = 8;
constexpr size_t kOffRecordLength = 10;
constexpr size_t kOffMdxFlag = 28;
constexpr size_t kOffLanguage = 29;
constexpr size_t kFdName = 0;
constexpr size_t kFdType = 11;
constexpr size_t kFdLength = 16;
constexpr size_t kFdDecimals = 17;
constexpr char kDescriptorEnd = 0x0D;
constexpr char kEofMark = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';

constexpr uint8_t kVersionPlain = 0x03;
constexpr uint8_t kVersionMemo3 = 0x83;
constexpr uint8_t kVersionMemo4 = 0x8B;

struct DbfLayout {
  uint8_t version = kVersionPlain;
  uint32_t record_count = 0;
  uint16_t header_length = 0;
  uint16_t record_length = 0;
  uint8_t mdx_flag = 0;
  uint8_t language = 0;
  std::vector<FieldInfo> fields;
  std::vector<uint32_t> offsets;  // of each field inside the record

  bool HasMemo() const;
};

// Reads and checks a header. `bytes` holds at least the first bytes of the
// file (all of it is fine). Throws db::Error naming the file for anything
// that is not a usable dBase III+/IV table. With the file's size, a record
// length one byte short of the fields is taken from the records' spacing.
DbfLayout ParseDbfHeader(std::string_view bytes, const std::string& file_name,
                         uint64_t file_size = 0);
// FoxPro's table types, whose memos (.FPT) and index flag (.CDX) are not
// dBase's.
bool IsFoxProVersion(uint8_t version);

// Header bytes for a new table with these fields (record count 0).
std::string BuildDbfHeader(std::span<const FieldDef> fields, const std::string& file_name,
                           Date today);
void PutUint16(char* p, uint16_t v);
void PutUint32(char* p, uint32_t v);
uint16_t GetUint16(const char* p);
uint32_t GetUint32(const char* p);
void PutHeaderDate(char* p, Date today);

// ---- values inside a record
// Inline, as they run for every field of every row read.
inline bool IsBlankText(std::string_view raw) {
  for (char c : raw)
    if (c != ' ' && c != '\0') return false;
  return true;
}
inline std::string_view TrimRight(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0')) --n;
  return s.substr(0, n);
}
inline std::string_view Trim(std::string_view s) {
  s = TrimRight(s);
  size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return s.substr(b);
}
// A stored number; nullopt when blank or unreadable.
std::optional<double> ParseNumber(std::string_view raw);
// The same for a field with `decimals` decimals: digits right-aligned with
// exactly those decimals, as this engine writes them, are read in one pass;
// anything else goes to ParseNumber. Inline: many rows read it for every
// field, and a call would return the value through memory.
inline std::optional<double> ParseFieldNumber(std::string_view raw, unsigned decimals) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = raw.data();
  const char* end = p + raw.size();
  const size_t tail = decimals ? decimals + 1 : 0;
  if (raw.size() <= tail || decimals > 15) return ParseNumber(raw);
  const char* point = end - tail;
  while (p < point && *p == ' ') ++p;
  const bool negative = p < point && *p == '-';
  p += negative;
  // Whole digits, then '.', then the decimals; 15 digits at most, so that
  // the integer and the division are exact as in ParsePlainNumber.
  if (p == point || point - p + decimals > 15) return ParseNumber(raw);
  // Each digit times its own power of ten: the sum is the only chain
  // between digits, where n * 10 + d would wait for a multiply per digit.
  static constexpr uint64_t kPlace[] = {1,           10,           100,           1000,           10000,
                                        100000,      1000000,      10000000,      100000000,      1000000000,
                                        10000000000, 100000000000, 1000000000000, 10000000000000, 100000000000000};
  uint64_t n = 0;
  for (; p < point; ++p) {
    const unsigned d = static_cast<unsigned char>(*p) - '0';
    if (d > 9) return ParseNumber(raw);
    n += d * kPlace[point - p - 1 + decimals];
  }
  if (decimals) {
    if (*p++ != '.') return ParseNumber(raw);
    for (; p < end; ++p) {
      const unsigned d = static_cast<unsigned char>(*p) - '0';
      if (d > 9) return ParseNumber(raw);
      n += d * kPlace[end - p - 1];
    }
  }
  double v = static_cast<double>(n);
  if (decimals) v /= kPow10[decimals];
  return negative ? -v : v;
}
// Writes value right-aligned into out[0..length) with `decimals` decimals.
// False when it does not fit.
bool FormatNumber(double value, uint16_t length, uint8_t decimals, char* out);
std::optional<Date> ParseDate(std::string_view raw);
void FormatDate(Date d, char* out);  // 8 chars yyyymmdd
// Julian day number of a date (2000-01-01 = 2451545).
double JulianDay(Date d);

}  // namespace kaslo::db::internal
