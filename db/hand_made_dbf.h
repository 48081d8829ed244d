// Tests: the bytes of a small table as other programs write them, with the
// header facts they get wrong or use differently (a record length one byte
// short, FoxPro's table types and flags, field types the engine does not
// read), so that a test builds the damaged or foreign table it needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kaslo::db::testing {

struct HandField {
  std::string name;
  char type;
  uint8_t length;
  uint8_t decimals = 0;
};

struct HandTable {
  uint8_t version = 0x03;
  uint8_t flags = 0;  // byte 28: production index (dBase), CDX/memo (FoxPro)
  std::vector<HandField> fields;
  // Whole records, the deleted flag first.
  std::vector<std::string> records;
  // Added to the record length the fields make (-1: one byte short).
  int record_length_delta = 0;

  std::string Bytes() const {
    std::string h(32, '\0');
    h[0] = static_cast<char>(version);
    h[1] = 124;  // 2024-01-01
    h[2] = 1;
    h[3] = 1;
    uint32_t count = static_cast<uint32_t>(records.size());
    for (int i = 0; i < 4; ++i) h[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    unsigned header_length = 32 + 32 * static_cast<unsigned>(fields.size()) + 1;
    int record_length = 1 + record_length_delta;
    for (const HandField& f : fields) record_length += f.length;
    h[8] = static_cast<char>(header_length & 0xFF);
    h[9] = static_cast<char>(header_length >> 8);
    h[10] = static_cast<char>(record_length & 0xFF);
    h[11] = static_cast<char>(record_length >> 8);
    h[28] = static_cast<char>(flags);
    for (const HandField& f : fields) {
      std::string d(32, '\0');
      d.replace(0, f.name.size(), f.name);
      d[11] = f.type;
      d[16] = static_cast<char>(f.length);
      d[17] = static_cast<char>(f.decimals);
      h += d;
    }
    h += '\x0D';
    for (const std::string& r : records) h += r;
    h += '\x1A';
    return h;
  }
};

// A dBase IV production index of its fixed header only, with no tags in
// use, as some writers leave it.
inline std::string MdxWithoutTags() {
  std::string m(544, '\0');
  m[0] = 2;
  m[24] = 1;   // production index
  m[25] = 48;  // tag entries
  m[26] = 32;  // entry length
  return m;
}

}  // namespace kaslo::db::testing
