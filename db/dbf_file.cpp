// Header parsing and writing and the field value encodings of the DBF file.
#include "db/dbf_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "db/error.h"

namespace kaslo::db::internal {

bool DbfLayout::HasMemo() const {
  return std::any_of(fields.begin(), fields.end(),
                     [](const FieldInfo& f) { return f.type == FieldType::kMemo; });
}

void PutUint16(char* p, uint16_t v) {
  p[0] = static_cast<char>(v & 0xFF);
  p[1] = static_cast<char>(v >> 8);
}
void PutUint32(char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint16_t GetUint16(const char* p) {
  return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}
uint32_t GetUint32(const char* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(p[i]);
  return v;
}

void PutHeaderDate(char* p, Date today) {
  p[0] = static_cast<char>(static_cast<int>(today.year()) - 1900);
  p[1] = static_cast<char>(static_cast<unsigned>(today.month()));
  p[2] = static_cast<char>(static_cast<unsigned>(today.day()));
}

namespace {

bool KnownType(char t) {
  return t == 'C' || t == 'N' || t == 'F' || t == 'L' || t == 'D' || t == 'M';
}

// Some writers count the fields but not the deleted flag in the record
// length; the records' spacing in the file shows the real one.
bool SpacedOneWider(const DbfLayout& l, uint32_t fields_length, uint64_t file_size) {
  if (fields_length != uint32_t{l.record_length} + 1 || l.record_count == 0) return false;
  if (file_size < l.header_length) return false;
  uint64_t body = file_size - l.header_length;
  uint64_t records = uint64_t{l.record_count} * fields_length;
  return body == records || body == records + 1;
}

bool KnownVersion(uint8_t v) {
  // dBase III+/IV and the FoxBase/Clipper variants that share the layout.
  // dBase 7 (0x04, 0x8C) has 48-byte descriptors and is refused.
  return v == 0x03 || v == 0x83 || v == 0x8B || v == 0x8E || v == 0xF5 || v == 0x30;
}

}  // namespace

bool IsFoxProVersion(uint8_t version) {
  return version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5;
}

DbfLayout ParseDbfHeader(std::string_view bytes, const std::string& file_name, uint64_t file_size) {
  if (bytes.size() < kDbfHeaderSize + 1) {
    throw Error(file_name + ": not a dBase table (header truncated, " +
                std::to_string(bytes.size()) + " bytes)");
  }
  DbfLayout l;
  const char* h = bytes.data();
  l.version = static_cast<uint8_t>(h[kOffVersion]);
  if (!KnownVersion(l.version)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", l.version);
    throw Error(file_name + ": not a dBase III/IV table (version byte " + hex + ")");
  }
  l.record_count = GetUint32(h + kOffRecordCount);
  l.header_length = GetUint16(h + kOffHeaderLength);
  l.record_length = GetUint16(h + kOffRecordLength);
  l.mdx_flag = static_cast<uint8_t>(h[kOffMdxFlag]);
  l.language = static_cast<uint8_t>(h[kOffLanguage]);
  if (l.record_length == 0) throw Error(file_name + ": record length 0");
  if (l.header_length < kDbfHeaderSize + 1) {
    throw Error(file_name + ": header length " + std::to_string(l.header_length) + " too small");
  }
  if (bytes.size() < l.header_length) {
    throw Error(file_name + ": header truncated (" + std::to_string(bytes.size()) + " of " +
                std::to_string(l.header_length) + " bytes)");
  }
  uint32_t offset = 1;  // after the deleted flag
  for (size_t pos = kDbfHeaderSize; pos + kDescriptorSize <= l.header_length;
       pos += kDescriptorSize) {
    const char* d = h + pos;
    // dbfread also stops at 0x0A; some writers end the array with it.
    if (d[0] == kDescriptorEnd || d[0] == 0x0A) break;
    size_t name_len = 0;
    while (name_len < 11 && d[kFdName + name_len] != '\0') ++name_len;
    FieldInfo f;
    f.name.assign(d + kFdName, name_len);
    f.name = std::string(TrimRight(f.name));
    char type = d[kFdType];
    if (!KnownType(type)) {
      char shown[8];
      if (type > ' ' && type <= '~') std::snprintf(shown, sizeof shown, "'%c'", type);
      else std::snprintf(shown, sizeof shown, "0x%02X", static_cast<uint8_t>(type));
      throw Error(file_name + ": field " + f.name + " of type " + shown + " not supported");
    }
    f.type = static_cast<FieldType>(type);
    f.length = static_cast<uint8_t>(d[kFdLength]);
    f.decimals = static_cast<uint8_t>(d[kFdDecimals]);
    if (f.type == FieldType::kCharacter && f.decimals != 0) {
      // Clipper/FoxPro keep the high byte of long C fields here.
      f.length = static_cast<uint16_t>(f.length | (f.decimals << 8));
      f.decimals = 0;
    }
    // A field of width 0 takes no bytes and reads blank, as other readers
    // have it.
    l.offsets.push_back(offset);
    offset += f.length;
    l.fields.push_back(std::move(f));
  }
  if (SpacedOneWider(l, offset, file_size)) l.record_length = static_cast<uint16_t>(offset);
  if (offset > l.record_length) {
    throw Error(file_name + ": field widths (" + std::to_string(offset) +
                " bytes) exceed the record length " + std::to_string(l.record_length));
  }
  return l;
}

std::string BuildDbfHeader(std::span<const FieldDef> fields, const std::string& file_name,
                           Date today) {
  if (fields.empty()) throw Error(file_name + ": a table needs at least one field");
  bool memo = false;
  size_t record_length = 1;
  std::string out(kDbfHeaderSize + kDescriptorSize * fields.size() + 1, '\0');
  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldDef& f = fields[i];
    if (f.name.empty() || f.name.size() > 10) {
      throw Error(file_name + ": field name '" + std::string(f.name) + "' must have 1 to 10 characters");
    }
    uint16_t length = f.length;
    if (f.type == FieldType::kDate) length = 8;
    if (f.type == FieldType::kLogical) length = 1;
    if (f.type == FieldType::kMemo) length = 10;
    if (length == 0 || length > 254) {
      throw Error(file_name + ": field " + std::string(f.name) + " has width " +
                  std::to_string(length));
    }
    if ((f.type == FieldType::kNumeric || f.type == FieldType::kFloat) &&
        (f.length > 20 || (f.decimals > 0 && f.decimals + 2 > f.length))) {
      throw Error(file_name + ": field " + std::string(f.name) + " cannot have width " +
                  std::to_string(f.length) + " with " + std::to_string(f.decimals) + " decimals");
    }
    memo |= f.type == FieldType::kMemo;
    char* d = out.data() + kDbfHeaderSize + kDescriptorSize * i;
    for (size_t k = 0; k < f.name.size(); ++k) {
      d[kFdName + k] = static_cast<char>(std::toupper(static_cast<unsigned char>(f.name[k])));
    }
    d[kFdType] = static_cast<char>(f.type);
    d[kFdLength] = static_cast<char>(length);
    bool numeric = f.type == FieldType::kNumeric || f.type == FieldType::kFloat;
    d[kFdDecimals] = static_cast<char>(numeric ? f.decimals : 0);
    record_length += length;
  }
  if (record_length > 0xFFFF) throw Error(file_name + ": record length over 65535 bytes");
  out[kOffVersion] = static_cast<char>(memo ? kVersionMemo4 : kVersionPlain);
  PutHeaderDate(out.data() + kOffDate, today);
  PutUint16(out.data() + kOffHeaderLength, static_cast<uint16_t>(out.size()));
  PutUint16(out.data() + kOffRecordLength, static_cast<uint16_t>(record_length));
  out.back() = kDescriptorEnd;
  return out;
}

namespace {

// The common stored number: blanks, an optional '-', up to 15 digits with an
// optional '.', blanks. Read as an integer and divided once by a power of
// ten it gives the same double as from_chars: both operands are exact below
// 2^53 and the division rounds correctly. Anything else returns false.
bool ParsePlainNumber(std::string_view raw, double& out) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = raw.data();
  const char* end = p + raw.size();
  while (p < end && *p == ' ') ++p;
  bool negative = p < end && *p == '-';
  if (negative) ++p;
  int64_t n = 0;
  int digits = 0, decimals = -1;
  for (; p < end; ++p) {
    unsigned d = static_cast<unsigned char>(*p) - '0';
    if (d < 10) {
      // Longer numbers take from_chars (ParseNumber); n must not overflow.
      if (++digits > 15) return false;
      n = n * 10 + d;
      if (decimals >= 0) ++decimals;
    } else if (*p == '.' && decimals < 0) {
      decimals = 0;
    } else {
      break;
    }
  }
  while (p < end && *p == ' ') ++p;
  if (p != end || digits == 0 || digits > 15) return false;
  double v = static_cast<double>(n);
  if (decimals > 0) v /= kPow10[decimals];
  out = negative ? -v : v;
  return true;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view raw) {
  if (double v; ParsePlainNumber(raw, v)) return v;
  std::string_view s = Trim(raw);
  // Some writers pad overflowing numbers with '*' (dbfread strips them).
  while (!s.empty() && s.front() == '*') s.remove_prefix(1);
  while (!s.empty() && s.back() == '*') s.remove_suffix(1);
  if (s.empty()) return std::nullopt;
  if (s.front() == '+') s.remove_prefix(1);
  // A comma decimal separator is seen in files from other tools.
  char tmp[64];
  if (s.find(',') != std::string_view::npos && s.size() < sizeof tmp) {
    std::memcpy(tmp, s.data(), s.size());
    std::replace(tmp, tmp + s.size(), ',', '.');
    s = std::string_view(tmp, s.size());
  }
  double v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size()) return std::nullopt;
  return v;
}

namespace {

// Rounds the decimal text of a number (digits with an optional '.') to
// `decimals` places, half away from zero, as dBase does: the text is the
// shortest form of the double, so 2.675 rounds to 2.68 although its binary
// value lies just below.
std::string RoundDecimal(std::string digits, int decimals) {
  size_t dot = digits.find('.');
  if (dot == std::string::npos) {
    dot = digits.size();
    digits += '.';
  }
  size_t want = dot + 1 + static_cast<size_t>(decimals);
  if (digits.size() < want) digits.append(want - digits.size(), '0');
  bool up = digits.size() > want && digits[want] >= '5';
  digits.resize(want);
  if (up) {
    ptrdiff_t i = static_cast<ptrdiff_t>(want) - 1;
    for (; i >= 0; --i) {
      if (digits[static_cast<size_t>(i)] == '.') continue;
      if (digits[static_cast<size_t>(i)] == '9') {
        digits[static_cast<size_t>(i)] = '0';
      } else {
        ++digits[static_cast<size_t>(i)];
        break;
      }
    }
    if (i < 0) digits.insert(digits.begin(), '1');
  }
  if (decimals == 0) digits.pop_back();  // the '.'
  return digits;
}

}  // namespace

bool FormatNumber(double value, uint16_t length, uint8_t decimals, char* out) {
  if (!std::isfinite(value)) return false;
  char buf[400];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
  if (ec != std::errc()) return false;
  std::string text = RoundDecimal(std::string(buf, p), decimals);
  // "-0.00" is stored as "0.00".
  bool zero = std::all_of(text.begin(), text.end(), [](char c) { return c == '0' || c == '.'; });
  if (value < 0 && !zero) text.insert(text.begin(), '-');
  if (text.size() > length) return false;
  std::memset(out, ' ', length - text.size());
  std::memcpy(out + (length - text.size()), text.data(), text.size());
  return true;
}

std::optional<Date> ParseDate(std::string_view raw) {
  if (raw.size() < 8) return std::nullopt;
  int v[3] = {0, 0, 0};
  const int widths[3] = {4, 2, 2};
  size_t pos = 0;
  for (int k = 0; k < 3; ++k) {
    for (int i = 0; i < widths[k]; ++i, ++pos) {
      char c = raw[pos];
      if (c < '0' || c > '9') return std::nullopt;
      v[k] = v[k] * 10 + (c - '0');
    }
  }
  Date d{std::chrono::year(v[0]), std::chrono::month(static_cast<unsigned>(v[1])),
         std::chrono::day(static_cast<unsigned>(v[2]))};
  if (!d.ok()) return std::nullopt;
  return d;
}

void FormatDate(Date d, char* out) {
  int y = static_cast<int>(d.year());
  unsigned m = static_cast<unsigned>(d.month());
  unsigned dd = static_cast<unsigned>(d.day());
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", y, m, dd);
  std::memcpy(out, buf, 8);
}

double JulianDay(Date d) {
  // 1970-01-01 is Julian day 2440588.
  auto days = std::chrono::sys_days(d).time_since_epoch().count();
  return static_cast<double>(days) + 2440588.0;
}

}  // namespace kaslo::db::internal
