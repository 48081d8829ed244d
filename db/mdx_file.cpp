// Writing and reading the dBase IV production index.
#include "db/mdx_file.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <functional>

#include "db/dbf_file.h"
#include "db/error.h"
#include "db/file_lock.h"

namespace kaslo::db::internal {
namespace {

constexpr size_t kPage = 512;
constexpr size_t kBlock = 1024;
constexpr uint32_t kPagesPerBlock = 2;
constexpr uint32_t kFirstTagPage = 4;
constexpr size_t kHeaderBytes = kFirstTagPage * kPage;
constexpr size_t kMaxTags = 47;
// file header
constexpr size_t kMdxVersion = 0;
constexpr size_t kMdxCreated = 1;
constexpr size_t kMdxName = 4;
constexpr size_t kOffPagesPerBlock = 20;
constexpr size_t kOffBlockBytes = 22;
constexpr size_t kOffProduction = 24;
constexpr size_t kOffEntries = 25;
constexpr size_t kOffEntryLength = 26;
constexpr size_t kOffTagsUsed = 28;
constexpr size_t kMdxLanguage = 31;
constexpr size_t kOffPageCount = 32;
constexpr size_t kOffUpdated = 44;
constexpr size_t kOffTagFlag = 529;
constexpr size_t kOffTagTable = 544;
constexpr size_t kEntryLength = 32;
// tag table entry
constexpr size_t kTeHeaderPage = 0;
constexpr size_t kTeName = 4;
constexpr size_t kTeKeyFormat = 15;
constexpr size_t kTeReserved2 = 19;
constexpr size_t kTeKeyType = 20;
// tag header
constexpr size_t kThRoot = 0;
constexpr size_t kThPages = 4;
constexpr size_t kThKeyFormat = 8;
constexpr size_t kThKeyType = 9;
constexpr size_t kThKeyLength = 12;
constexpr size_t kThMaxKeys = 14;
constexpr size_t kThSecondaryType = 16;
constexpr size_t kThItemLength = 18;
constexpr size_t kThWord2 = 20;
constexpr size_t kThExpression = 24;
constexpr size_t kThExpressionMax = 220;
constexpr size_t kThKeysExist = 246;
constexpr size_t kThFirstLeaf = 248;
constexpr size_t kThLastLeaf = 252;
// node
constexpr size_t kNodeCount = 0;
constexpr size_t kNodeEntries = 8;

uint16_t ItemLength(uint16_t key_length) { return static_cast<uint16_t>(4 + ((key_length + 3) / 4) * 4); }
uint16_t MaxKeys(uint16_t item) { return static_cast<uint16_t>((kBlock - 12) / item); }

void KeyBytes(const TagIndex& t, uint32_t rec_no, char* out) {
  switch (t.type()) {
    case KeyType::kCharacter: {
      auto k = t.TextKey(rec_no);
      std::memcpy(out, k.data(), k.size());
      break;
    }
    case KeyType::kNumeric: {
      auto b = EncodeBcd(t.NumberKey(rec_no));
      std::memcpy(out, b.data(), b.size());
      break;
    }
    case KeyType::kDate: {
      double d = t.NumberKey(rec_no);
      std::memcpy(out, &d, 8);  // little-endian hosts only, as the rest of the engine
      break;
    }
  }
}

}  // namespace

std::array<uint8_t, 12> EncodeBcd(double value) {
  std::array<uint8_t, 12> k{};
  k[0] = 0x34;
  k[1] = 0x01;
  if (value == 0 || !std::isfinite(value)) return k;
  bool negative = value < 0;
  char buf[64];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
  std::string_view s(buf, static_cast<size_t>(p - buf));
  size_t epos = s.find('e');
  std::string digits;
  for (char c : s.substr(0, epos)) if (c != '.') digits += c;
  int exp10 = 0;
  std::from_chars(s.data() + epos + 1 + (s[epos + 1] == '+'), s.data() + s.size(), exp10);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  if (digits.size() > 20) digits.resize(20);
  k[0] = static_cast<uint8_t>(0x34 + exp10 + 1);
  // The digit count is rounded up to even, as the samples show; readers
  // ignore it.
  size_t count = (digits.size() + 1) / 2 * 2;
  k[1] = static_cast<uint8_t>((negative ? 0x80 : 0) | ((count & 0x1F) << 2) | 0x01);
  for (size_t i = 0; i < digits.size(); ++i) {
    auto d = static_cast<uint8_t>(digits[i] - '0');
    k[2 + i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(d << 4) : d;
  }
  return k;
}

double DecodeBcd(const uint8_t* key) {
  std::string s = "0.";
  for (size_t i = 0; i < 20; ++i) {
    uint8_t b = key[2 + i / 2];
    s += static_cast<char>('0' + ((i % 2 == 0) ? (b >> 4) : (b & 0x0F)));
  }
  s += "e" + std::to_string(static_cast<int>(key[0]) - 0x34);
  double v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return (key[1] & 0x80) ? -v : v;
}

void WriteMdx(const std::filesystem::path& path, const std::string& name,
              const std::string& table_base, uint8_t language,
              const std::vector<const TagIndex*>& tags, Date today) {
  if (tags.size() > kMaxTags) throw Error(name + ": more than 47 tags");
  std::string out(kHeaderBytes, '\0');
  uint32_t next_page = kFirstTagPage;
  auto new_block = [&]() {
    uint32_t page = next_page;
    next_page += kPagesPerBlock;
    out.resize(size_t{next_page} * kPage, '\0');
    return page;
  };
  auto at = [&](uint32_t page) { return out.data() + size_t{page} * kPage; };

  for (size_t t = 0; t < tags.size(); ++t) {
    const TagIndex& tag = *tags[t];
    uint16_t key_length = tag.keyLength();
    uint16_t item = ItemLength(key_length);
    uint16_t max_keys = MaxKeys(item);
    uint32_t header_page = new_block();
    // Leaves, left to right.
    struct Child { uint32_t page; uint32_t last_rec; };
    std::vector<Child> level;
    const auto& order = tag.order();
    size_t pos = 0;
    do {
      uint32_t page = new_block();
      size_t n = std::min<size_t>(max_keys, order.size() - pos);
      char* node = at(page);
      PutUint32(node + kNodeCount, static_cast<uint32_t>(n));
      for (size_t i = 0; i < n; ++i) {
        char* e = node + kNodeEntries + i * item;
        PutUint32(e, order[pos + i]);
        KeyBytes(tag, order[pos + i], e + 4);
      }
      level.push_back({page, n ? order[pos + n - 1] : 0});
      pos += n;
    } while (pos < order.size());
    uint32_t first_leaf = level.front().page, last_leaf = level.back().page;
    // Interior levels up to a single root.
    while (level.size() > 1) {
      std::vector<Child> upper;
      for (size_t i = 0; i < level.size();) {
        size_t children = std::min<size_t>(size_t{max_keys} + 1, level.size() - i);
        if (level.size() - i - children == 1) --children;  // never leave a lone child
        uint32_t page = new_block();
        char* node = at(page);
        size_t n = children - 1;
        PutUint32(node + kNodeCount, static_cast<uint32_t>(n));
        for (size_t c = 0; c < children; ++c) {
          char* e = node + kNodeEntries + c * item;
          PutUint32(e, level[i + c].page);
          // The key after the rightmost pointer is not counted in n; it is
          // written as other writers do.
          if (c < n || kNodeEntries + c * item + item <= kBlock) {
            KeyBytes(tag, level[i + c].last_rec, e + 4);
          }
        }
        upper.push_back({page, level[i + children - 1].last_rec});
        i += children;
      }
      level = std::move(upper);
    }
    char* h = at(header_page);
    PutUint32(h + kThRoot, level.front().page);
    PutUint32(h + kThPages, next_page - header_page);
    h[kThKeyFormat] = tag.type() == KeyType::kCharacter ? 0x10 : 0x00;
    h[kThKeyType] = static_cast<char>(tag.type());
    PutUint16(h + kThKeyLength, key_length);
    PutUint16(h + kThMaxKeys, max_keys);
    PutUint16(h + kThSecondaryType, tag.type() == KeyType::kDate ? 1 : 0);
    PutUint16(h + kThItemLength, item);
    PutUint16(h + kThWord2, 2);
    std::string expr = UpperLatin1(tag.expression().text());
    std::memcpy(h + kThExpression, expr.data(), std::min(expr.size(), kThExpressionMax - 1));
    h[kThKeysExist] = 1;
    PutUint32(h + kThFirstLeaf, first_leaf);
    PutUint32(h + kThLastLeaf, last_leaf);

    char* e = out.data() + kOffTagTable + t * kEntryLength;
    PutUint32(e + kTeHeaderPage, header_page);
    std::string tag_name = UpperLatin1(tag.name());
    std::memcpy(e + kTeName, tag_name.data(), std::min<size_t>(10, tag_name.size()));
    e[kTeKeyFormat] = tag.expression().PlainField() ? 0x10 : 0x00;
    e[kTeReserved2] = 0x02;
    e[kTeKeyType] = static_cast<char>(tag.type());
  }
  char* f = out.data();
  f[kMdxVersion] = 2;
  PutHeaderDate(f + kMdxCreated, today);
  std::memcpy(f + kMdxName, table_base.data(), std::min<size_t>(15, table_base.size()));
  PutUint16(f + kOffPagesPerBlock, kPagesPerBlock);
  PutUint16(f + kOffBlockBytes, kBlock);
  f[kOffProduction] = 1;
  f[kOffEntries] = 48;
  f[kOffEntryLength] = kEntryLength;
  PutUint16(f + kOffTagsUsed, static_cast<uint16_t>(tags.size()));
  f[kMdxLanguage] = static_cast<char>(language);
  PutUint32(f + kOffPageCount, next_page);
  PutHeaderDate(f + kOffUpdated, today);
  f[kOffTagFlag] = 1;

  std::filesystem::path tmp = path;
  tmp += ".$$$";
  {
    File file = File::Create(tmp, name);
    file.WriteAt(0, out.data(), out.size());
    file.Sync();
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    throw Error(name + ": cannot replace the index file");
  }
}

namespace {

struct MdxReader {
  File file;
  uint64_t size = 0;
  std::string name;

  std::string Read(uint64_t offset, size_t n) const {
    std::string b(n, '\0');
    if (offset + n > size || file.ReadAt(offset, b.data(), n) != n) {
      throw Error(name + ": index file truncated");
    }
    return b;
  }
};

MdxReader OpenMdx(const std::filesystem::path& path, const std::string& name) {
  MdxReader r{File::Open(path, name), 0, name};
  r.size = r.file.Size();
  // Other writers leave an index with no tags at its fixed header alone.
  if (r.size < kOffTagTable) throw Error(name + ": not a dBase IV index (file too short)");
  std::string h = r.Read(0, kOffTagTable);
  if (h[kMdxVersion] != 2) throw Error(name + ": not a dBase IV index (version byte)");
  return r;
}

}  // namespace

std::vector<MdxTagInfo> ReadMdxTags(const std::filesystem::path& path, const std::string& name) {
  MdxReader r = OpenMdx(path, name);
  if (GetUint16(r.Read(0, kOffTagTable).data() + kOffTagsUsed) == 0) return {};
  std::string h = r.Read(0, kHeaderBytes);
  uint16_t used = GetUint16(h.data() + kOffTagsUsed);
  uint8_t entry_length = static_cast<uint8_t>(h[kOffEntryLength]);
  if (entry_length == 0) entry_length = kEntryLength;
  if (used > kMaxTags + 1 || kOffTagTable + size_t{used} * entry_length > kHeaderBytes) {
    throw Error(name + ": bad tag count " + std::to_string(used));
  }
  std::vector<MdxTagInfo> tags;
  for (size_t i = 0; i < used; ++i) {
    const char* e = h.data() + kOffTagTable + i * entry_length;
    uint32_t page = GetUint32(e + kTeHeaderPage);
    MdxTagInfo t;
    size_t n = 0;
    while (n < 11 && e[kTeName + n] != '\0') ++n;
    t.name = std::string(TrimRight(std::string_view(e + kTeName, n)));
    std::string th = r.Read(uint64_t{page} * kPage, kPage);
    t.key_type = th[kThKeyType];
    const char* x = th.data() + kThExpression;
    t.expression = std::string(Trim(std::string_view(x, strnlen(x, kThExpressionMax))));
    tags.push_back(std::move(t));
  }
  return tags;
}

std::vector<uint32_t> WalkMdxTag(const std::filesystem::path& path, const std::string& tag) {
  std::string name = path.filename().string();
  MdxReader r = OpenMdx(path, name);
  std::string h = r.Read(0, kHeaderBytes);
  uint16_t used = GetUint16(h.data() + kOffTagsUsed);
  for (size_t i = 0; i < used && i < kMaxTags + 1; ++i) {
    const char* e = h.data() + kOffTagTable + i * kEntryLength;
    std::string tname(e + kTeName, strnlen(e + kTeName, 11));
    if (UpperLatin1(tname) != UpperLatin1(tag)) continue;
    std::string th = r.Read(uint64_t{GetUint32(e + kTeHeaderPage)} * kPage, kPage);
    uint16_t item = GetUint16(th.data() + kThItemLength);
    if (item == 0) throw Error(name + ": bad key item length");
    std::vector<uint32_t> recs;
    std::function<void(uint32_t, int)> walk = [&](uint32_t page, int depth) {
      if (depth > 32) throw Error(name + ": index tree too deep");
      std::string node = r.Read(uint64_t{page} * kPage, kBlock);
      uint32_t n = GetUint32(node.data() + kNodeCount);
      if (kNodeEntries + size_t{n} * item > kBlock) throw Error(name + ": bad node");
      size_t right_at = kNodeEntries + size_t{n} * item;
      uint32_t right = right_at + 4 <= kBlock ? GetUint32(node.data() + right_at) : 0;
      for (uint32_t k = 0; k < n; ++k) {
        uint32_t p = GetUint32(node.data() + kNodeEntries + size_t{k} * item);
        if (right) walk(p, depth + 1);
        else recs.push_back(p);
      }
      if (right) walk(right, depth + 1);
    };
    walk(GetUint32(th.data() + kThRoot), 0);
    return recs;
  }
  throw Error(name + ": no tag " + tag);
}

}  // namespace kaslo::db::internal
