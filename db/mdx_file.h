// The production index T.MDX in the dBase IV layout. The engine keeps keys
// in memory (keys.h) and writes the whole file when tags are added and when
// a changed table is closed; on open it reads only the tag names and
// expressions (the keys are rebuilt from the rows).
//
// The file is made of 512-byte pages; tag headers and B-tree nodes take one
// block of 2 pages (1024 bytes). Page numbers below are page indexes.
//
// File header (pages 0 to 3):
// OFFSET SIZE DESCRIPTION
//      0    1 version 2
//      1    3 creation date YY MM DD
//      4   16 table name without extension, NUL padded
//     20    2 pages per block (2)
//     22    2 bytes per block (1024)
//     24    1 production index flag (1)
//     25    1 entries in the tag table (48)
//     26    1 length of a tag table entry (32)
//     28    2 tags in use
//     31    1 language driver (as byte 29 of the DBF)
//     32    4 pages in the file
//     36    4 first free page (0)
//     40    4 free blocks (0)
//     44    3 date of last update
//    529    1 0x01
//    544 32*i tag table entries:
//             0 4 page of the tag header; 4 11 name; 15 1 0x10 field tag,
//             0x00 expression tag; 19 1 0x02; 20 1 key type C N D
//
// Tag header (one block):
// OFFSET SIZE DESCRIPTION
//      0    4 root page
//      4    4 pages used by the tag, header included
//      8    1 key format: 0x10 for C keys, 0 otherwise
//      9    1 key type C N D
//     12    2 key length (C: expression width; N 12; D 8)
//     14    2 maximum keys per node
//     16    2 secondary key type (1 for D)
//     18    2 key item length: 4 + key length rounded up to 4
//     20    2 2
//     23    1 unique flag (0)
//     24  220 key expression, NUL terminated
//    246    1 keys exist (1)
//    248    4 first leaf page
//    252    4 last leaf page
//
// B-tree node (one block):
// OFFSET SIZE DESCRIPTION
//      0    4 n, keys in the node
//      4    4 0
//      8 item*n entries: 4-byte pointer (leaf: record number; interior:
//             child page), then the key padded with NULs to the item length
//  8+item*n 4 leaf: 0; interior: page of the rightmost child
// The key of interior entry i is the last key of child i.
//
// N keys are 12-byte BCD: byte 0 = 0x34 + decimal exponent e (value =
// 0.d1d2... x 10^e; 0 is 0x34), byte 1 = sign bit 0x80 | digit count << 2 |
// 0x01, bytes 2..11 = the significant digits packed two per byte, high
// nibble first. D keys are the Julian day as a little-endian double.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "db/field.h"
#include "db/keys.h"

namespace kaslo::db::internal {

struct MdxTagInfo {
  std::string name;
  std::string expression;
  char key_type = 'C';
};

// Tag names and expressions; throws db::Error when the file is not an MDX.
std::vector<MdxTagInfo> ReadMdxTags(const std::filesystem::path& path, const std::string& name);

// Record numbers of a tag in B-tree order (leftmost leaf to rightmost).
std::vector<uint32_t> WalkMdxTag(const std::filesystem::path& path, const std::string& tag);

// Writes the whole file beside `path` and renames it into place.
void WriteMdx(const std::filesystem::path& path, const std::string& name,
              const std::string& table_base, uint8_t language,
              const std::vector<const TagIndex*>& tags, Date today);

std::array<uint8_t, 12> EncodeBcd(double value);
double DecodeBcd(const uint8_t* key);

}  // namespace kaslo::db::internal
