// The memo file T.DBT in its two layouts. The DBF's M field holds the
// number of the memo's first block; block 0 is the file header.
//
// dBase III (table version 0x83), 512-byte blocks:
//
// OFFSET SIZE DESCRIPTION
//      0    4 next free block (where the next memo is appended)
//     16    1 version 0x03 (some writers put 0)
//   memo:     text from offset 0 of its block, ended by 0x1A 0x1A
//
// dBase IV (table version 0x8B):
//
// OFFSET SIZE DESCRIPTION
//      0    4 next free block
//      8    8 table name without extension
//     16    1 0x00
//     20    2 block size in bytes (512 when 0)
//   memo block:
//      0    4 FF FF 08 00
//      4    4 length including these 8 bytes
//      8    … text
//
// Memos are appended; the blocks of a replaced memo are not reused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "db/file_lock.h"

namespace kaslo::db::internal {

class MemoFile {
 public:
  MemoFile() = default;
  // dbase4 selects the layout, from the table's version byte.
  static MemoFile Open(const std::filesystem::path& path, const std::string& name, bool dbase4);
  // Writes an empty memo file.
  static void Create(const std::filesystem::path& path, const std::string& name,
                     const std::string& table_base, bool dbase4);

  bool valid() const { return file_.valid(); }
  // Text of the memo at a block; "" for block 0 or a block outside the file.
  std::string Read(uint32_t block) const;
  // Appends a memo; returns its first block.
  uint32_t Append(std::string_view text);
  // Back to an empty file (emptyTable).
  void Reset(const std::string& table_base);

 private:
  File file_;
  bool dbase4_ = true;
  uint32_t block_size_ = 512;
};

}  // namespace kaslo::db::internal
