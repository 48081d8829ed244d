// Reading and appending memos in the dBase III and dBase IV layouts.
#include "db/dbt_file.h"

#include <cstring>
#include <vector>

#include "db/dbf_file.h"
#include "db/error.h"

namespace kaslo::db::internal {
namespace {

constexpr size_t kOffNextBlock = 0;
constexpr size_t kOffTableName = 8;
constexpr size_t kOffVersion3 = 16;
constexpr size_t kOffBlockSize = 20;
constexpr uint32_t kDefaultBlock = 512;
constexpr char kMemo4Signature[4] = {'\xFF', '\xFF', '\x08', '\x00'};

std::string HeaderBlock(const std::string& table_base, bool dbase4) {
  std::string h(kDefaultBlock, '\0');
  PutUint32(h.data() + kOffNextBlock, 1);
  if (dbase4) {
    std::memcpy(h.data() + kOffTableName, table_base.data(), std::min<size_t>(8, table_base.size()));
    PutUint16(h.data() + kOffBlockSize, kDefaultBlock);
  } else {
    h[kOffVersion3] = 0x03;
  }
  return h;
}

}  // namespace

MemoFile MemoFile::Open(const std::filesystem::path& path, const std::string& name, bool dbase4) {
  MemoFile m;
  m.file_ = File::Open(path, name);
  m.dbase4_ = dbase4;
  char h[32] = {};
  if (m.file_.ReadAt(0, h, sizeof h) < 22) throw Error(name + ": memo header truncated");
  if (dbase4) {
    uint16_t bs = GetUint16(h + kOffBlockSize);
    // 0 and values that are not multiples of 512 come from writers that
    // leave the field out; they use 512-byte blocks.
    m.block_size_ = (bs == 0 || bs % 512 != 0) ? kDefaultBlock : bs;
  }
  return m;
}

void MemoFile::Create(const std::filesystem::path& path, const std::string& name,
                      const std::string& table_base, bool dbase4) {
  File f = File::Create(path, name);
  std::string h = HeaderBlock(table_base, dbase4);
  f.WriteAt(0, h.data(), h.size());
}

void MemoFile::Reset(const std::string& table_base) {
  std::string h = HeaderBlock(table_base, dbase4_);
  if (dbase4_) PutUint16(h.data() + kOffBlockSize, static_cast<uint16_t>(block_size_));
  file_.Truncate(0);
  file_.WriteAt(0, h.data(), h.size());
}

std::string MemoFile::Read(uint32_t block) const {
  if (block == 0) return {};
  uint64_t offset = uint64_t{block} * block_size_;
  uint64_t size = file_.Size();
  if (offset >= size) return {};
  if (dbase4_) {
    char head[8];
    if (file_.ReadAt(offset, head, 8) < 8) return {};
    if (std::memcmp(head, kMemo4Signature, 4) != 0) return {};  // a free block
    uint32_t length = GetUint32(head + 4);
    if (length < 8) return {};
    uint64_t avail = size - offset - 8;
    std::string text(std::min<uint64_t>(length - 8, avail), '\0');
    text.resize(file_.ReadAt(offset + 8, text.data(), text.size()));
    return text;
  }
  // dBase III: up to the first 0x1A (some writers end with a single one).
  std::string text;
  std::vector<char> buf(kDefaultBlock);
  while (offset < size) {
    size_t n = file_.ReadAt(offset, buf.data(), buf.size());
    const char* end = static_cast<const char*>(std::memchr(buf.data(), kEofMark, n));
    if (end) {
      text.append(buf.data(), static_cast<size_t>(end - buf.data()));
      break;
    }
    text.append(buf.data(), n);
    offset += n;
    if (n < buf.size()) break;
  }
  return text;
}

uint32_t MemoFile::Append(std::string_view text) {
  char h[4];
  file_.ReadAt(0, h, 4);
  uint32_t block = GetUint32(h);
  uint64_t size = file_.Size();
  // A next-block pointer behind the real end (a crash after the header was
  // written) or inside the data is corrected from the file size.
  uint32_t by_size = static_cast<uint32_t>((size + block_size_ - 1) / block_size_);
  if (block < by_size) block = by_size;
  if (block == 0) block = 1;
  std::string data;
  if (dbase4_) {
    data.assign(kMemo4Signature, 4);
    data.resize(8);
    PutUint32(data.data() + 4, static_cast<uint32_t>(text.size() + 8));
    data.append(text);
  } else {
    data.assign(text);
    data.append(2, kEofMark);
  }
  size_t blocks = (data.size() + block_size_ - 1) / block_size_;
  data.resize(blocks * block_size_, '\0');
  file_.WriteAt(uint64_t{block} * block_size_, data.data(), data.size());
  char next[4];
  PutUint32(next, static_cast<uint32_t>(block + blocks));
  file_.WriteAt(kOffNextBlock, next, 4);
  return block;
}

}  // namespace kaslo::db::internal
