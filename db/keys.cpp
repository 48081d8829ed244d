// Building, searching and updating the in-memory keys of a tag.
#include "db/keys.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <utility>
#include <cstring>

#include "db/dbf_file.h"

namespace kaslo::db::internal {

void* MapLarge(size_t bytes) {
  const size_t length = (bytes + kLargeBlock - 1) / kLargeBlock * kLargeBlock;
  void* mapped = ::mmap(nullptr, length + kLargeBlock, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kLargeBlock - 1) & ~(kLargeBlock - 1);
  if (aligned > start) ::munmap(mapped, aligned - start);
  if (const uintptr_t end = start + length + kLargeBlock; end > aligned + length)
    ::munmap(reinterpret_cast<void*>(aligned + length), end - aligned - length);
  // A huge page for the last piece only when the array fills half of it:
  // it would hold memory the array never uses.
  if (const size_t huge = (bytes + kLargeBlock / 2) / kLargeBlock * kLargeBlock)
    ::madvise(reinterpret_cast<void*>(aligned), huge, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

void UnmapLarge(void* data, size_t bytes) {
  ::munmap(data, (bytes + kLargeBlock - 1) / kLargeBlock * kLargeBlock);
}

TagIndex::TagIndex(std::string name, Expression expression)
    : name_(std::move(name)), expression_(std::move(expression)) {
  switch (expression_.kind()) {
    case ValueKind::kText: type_ = KeyType::kCharacter; break;
    case ValueKind::kDate: type_ = KeyType::kDate; break;
    default: type_ = KeyType::kNumeric; break;
  }
  key_length_ = type_ == KeyType::kCharacter ? expression_.length()
              : type_ == KeyType::kDate ? 8 : 12;
}

void TagIndex::Defer(CountOf count, RecordAt record_at) {
  Clear();
  deferred_count_ = std::move(count);
  deferred_record_ = std::move(record_at);
}

void TagIndex::BuildDeferred() {
  CountOf count = std::move(deferred_count_);
  RecordAt record_at = std::move(deferred_record_);
  deferred_count_ = nullptr;
  deferred_record_ = nullptr;
  Build(count(), record_at);
}

void TagIndex::Clear() {
  deferred_count_ = nullptr;
  deferred_record_ = nullptr;
  order_.clear();
  numbers_.clear();
  texts_.clear();
}

void TagIndex::Store(uint32_t rec_no, const char* record) {
  size_t i = rec_no - 1;
  if (type_ == KeyType::kCharacter) {
    if (texts_.size() < (i + 1) * key_length_) texts_.resize((i + 1) * key_length_, ' ');
    char* dst = texts_.data() + i * key_length_;
    if (auto f = expression_.PlainField(); f) {
      // The common plain C field: copy the bytes without building a value.
      std::memcpy(dst, record + expression_.FieldOffset(*f), key_length_);
    } else {
      std::string k = expression_.KeyText(record);
      std::memcpy(dst, k.data(), key_length_);
    }
  } else {
    if (numbers_.size() < i + 1) numbers_.resize(i + 1, 0);
    numbers_[i] = expression_.KeyNumber(record);
  }
}

namespace {

// Big-endian first bytes of a key: comparing these integers orders keys as
// their bytes would, so the sort rarely touches the key texts.
uint64_t Prefix(const char* key, size_t length) {
  if (length >= 8) {
    uint64_t v;
    std::memcpy(&v, key, 8);
    return __builtin_bswap64(v);  // little-endian hosts, as the rest of the engine
  }
  uint64_t v = 0;
  for (size_t i = 0; i < 8; ++i) v = (v << 8) | (i < length ? static_cast<uint8_t>(key[i]) : 0);
  return v;
}

// memcmp of two keys, eight bytes at a time (keys often share long
// prefixes such as "PRODUTO ").
int CompareBytes(const char* a, const char* b, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) return __builtin_bswap64(x) < __builtin_bswap64(y) ? -1 : 1;
  }
  for (; i < n; ++i) {
    if (a[i] != b[i]) return static_cast<uint8_t>(a[i]) < static_cast<uint8_t>(b[i]) ? -1 : 1;
  }
  return 0;
}

}  // namespace

// Numeric keys follow the order of their dBase IV BCD encoding, which is the
// order of values except for one corner: zero is encoded with the exponent
// of a number between 0.1 and 1, so every positive number below 0.1 sorts
// before it. Both MDX writers at hand compare keys so (the sample
// SAMPGRP.mdx lists a price of 0.05 before one of 0), and a B-tree in
// another order would mislead their searches. Dates are plain values.
//
// The order is that of an unsigned integer made from the double's bits, so
// that keys sort by radix and every comparison agrees with the sort.
uint64_t TagIndex::SortKey(double x) const {
  const auto bits = [](double v) {
    if (v == 0) v = 0;  // -0 is 0
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b >> 63 ? ~b : b | uint64_t{1} << 63;
  };
  if (type_ == KeyType::kNumeric) {
    // Below 0.1 moves one step down, which leaves a place for zero just
    // under 0.1 and keeps every positive number below 0.1 above the
    // negative ones.
    if (x > 0 && x < 0.1) return bits(x) - 1;
    if (x == 0) return bits(0.1) - 1;
  }
  return bits(x);
}

bool TagIndex::NumberLess(double a, double b) const { return SortKey(a) < SortKey(b); }

bool TagIndex::Less(uint32_t a, uint32_t b) const {
  if (type_ == KeyType::kCharacter) {
    int c = CompareBytes(texts_.data() + (a - 1) * size_t{key_length_},
                         texts_.data() + (b - 1) * size_t{key_length_}, key_length_);
    if (c != 0) return c < 0;
  } else {
    double x = numbers_[a - 1], y = numbers_[b - 1];
    if (x != y) return NumberLess(x, y);
  }
  return a < b;
}

void TagIndex::Build(uint32_t count, const RecordAt& record_at) {
  Clear();
  if (type_ == KeyType::kCharacter) texts_.resize(size_t{count} * key_length_);
  else numbers_.resize(count);
  // The order is sized after the sort has let go of its scratch: the
  // scratch and the order are never held at once.
  for (uint32_t r = 1; r <= count; ++r) Store(r, record_at(r));
  if (type_ == KeyType::kCharacter) SortTexts(count);
  else SortNumbers(count);
}

namespace {

// A stable LSD radix sort on 64-bit keys, a byte a pass; the passes where
// every key has the same byte are skipped. Stable, so rows of equal keys
// keep the record order they came in.
template <class Item>
void RadixSort(LargeVector<Item>& items) {
  const size_t n = items.size();
  std::array<std::array<uint32_t, 256>, 8> counts{};
  for (const Item& item : items)
    for (int d = 0; d < 8; ++d) ++counts[static_cast<size_t>(d)][(item.key >> (8 * d)) & 0xFF];
  LargeVector<Item> spare;
  for (int d = 0; d < 8; ++d) {
    auto& count = counts[static_cast<size_t>(d)];
    if (count[(items[0].key >> (8 * d)) & 0xFF] == n) continue;
    if (spare.empty()) spare.resize(n);
    uint32_t start = 0;
    for (uint32_t& c : count) start += std::exchange(c, start);
    for (const Item& item : items) spare[count[(item.key >> (8 * d)) & 0xFF]++] = item;
    items.swap(spare);
  }
}

}  // namespace

void TagIndex::SortNumbers(uint32_t count) {
  // Codes entered in order, dates of a register written day by day.
  uint32_t r = 1;
  while (r < count && SortKey(numbers_[r - 1]) <= SortKey(numbers_[r])) ++r;
  if (r >= count) {
    order_.resize(count);
    for (uint32_t i = 0; i < count; ++i) order_[i] = i + 1;
    return;
  }
  struct __attribute__((packed)) Item { uint64_t key; uint32_t rec; };
  LargeVector<Item> items(count);
  for (uint32_t i = 0; i < count; ++i) items[i] = {SortKey(numbers_[i]), i + 1};
  RadixSort(items);
  order_.resize(count);
  for (uint32_t i = 0; i < count; ++i) order_[i] = items[i].rec;
}

// Character keys: an MSD radix sort on the key bytes. Each item carries
// eight of its key's bytes; a run of items is split on the first byte where
// they differ (found in one pass, so the long starts descriptions share,
// such as "BISCOITO INTEGRAL", cost nothing), small runs are sorted whole,
// and items still equal take their next eight bytes from the key texts.
// Every split is stable and the items start in record order, so equal keys
// end in record order.
void TagIndex::SortTexts(uint32_t count) {
  // Ordered already: a table written in description order.
  bool ordered = true;
  for (uint32_t r = 1; r < count && ordered; ++r)
    ordered = CompareBytes(texts_.data() + size_t{r - 1} * key_length_, texts_.data() + size_t{r} * key_length_,
                           key_length_) <= 0;
  if (ordered) {
    order_.resize(count);
    for (uint32_t i = 0; i < count; ++i) order_[i] = i + 1;
    return;
  }
  // Packed: 12 bytes, not 16, in a store's largest scratch arrays.
  struct __attribute__((packed)) Item { uint64_t key; uint32_t rec; };
  LargeVector<Item> items(count);
  LargeVector<Item> spare;
  const auto load = [this](Item& item, size_t at) {
    item.key = Prefix(texts_.data() + size_t{item.rec - 1} * key_length_ + at, key_length_ - at);
  };
  for (uint32_t r = 1; r <= count; ++r) {
    items[r - 1].rec = r;
    load(items[r - 1], 0);
  }
  // Items [begin, end) share their key bytes before `at` (and those of
  // their current eight above the split already made).
  struct Run { size_t begin, end, at; bool loaded; };
  std::vector<Run> runs{{0, count, 0, true}};
  const auto next_bytes = [&](size_t begin, size_t end, size_t at) {
    if (at + 8 < key_length_) runs.push_back({begin, end, at + 8, false});
  };
  constexpr size_t kSmall = 48;
  while (!runs.empty()) {
    const Run run = runs.back();
    runs.pop_back();
    Item* const first = items.data() + run.begin;
    const size_t n = run.end - run.begin;
    if (!run.loaded) {
      // The texts of a large table are read out of the cache: ask ahead.
      constexpr size_t kAhead = 16;
      for (size_t i = 0; i < n; ++i) {
        if (i + kAhead < n) __builtin_prefetch(texts_.data() + size_t{first[i + kAhead].rec - 1} * key_length_ + run.at);
        load(first[i], run.at);
      }
    }
    uint64_t differ = 0;
    for (size_t i = 1; i < n; ++i) differ |= first[i].key ^ first[0].key;
    if (differ == 0) {
      next_bytes(run.begin, run.end, run.at);
      continue;
    }
    if (n <= kSmall) {
      std::sort(first, first + n, [](const Item& x, const Item& y) {
        const uint64_t kx = x.key, ky = y.key;
        return kx != ky ? kx < ky : x.rec < y.rec;
      });
      for (size_t i = 0; i < n;) {
        size_t j = i + 1;
        while (j < n && first[j].key == first[i].key) ++j;
        if (j - i > 1) next_bytes(run.begin + i, run.begin + j, run.at);
        i = j;
      }
      continue;
    }
    const int shift = (63 - __builtin_clzll(differ)) & ~7;
    std::array<size_t, 257> start{};
    for (size_t i = 0; i < n; ++i) ++start[((first[i].key >> shift) & 0xFF) + 1];
    for (size_t d = 1; d < start.size(); ++d) start[d] += start[d - 1];
    if (spare.empty()) spare.resize(count);
    Item* const out = spare.data() + run.begin;
    std::array<size_t, 257> place = start;
    for (size_t i = 0; i < n; ++i) out[place[(first[i].key >> shift) & 0xFF]++] = first[i];
    std::memcpy(static_cast<void*>(first), out, n * sizeof(Item));
    for (size_t d = 0; d < 256; ++d)
      if (start[d + 1] - start[d] > 1) runs.push_back({run.begin + start[d], run.begin + start[d + 1], run.at, true});
  }
  LargeVector<Item>().swap(spare);
  order_.resize(count);
  for (uint32_t i = 0; i < count; ++i) order_[i] = items[i].rec;
}

size_t TagIndex::PosOf(uint32_t rec_no) const {
  Keys();
  if (rec_no == 0 || (type_ == KeyType::kCharacter ? texts_.size() / key_length_ : numbers_.size()) < rec_no) {
    return order_.size();
  }
  auto it = std::lower_bound(order_.begin(), order_.end(), rec_no,
                             [this](uint32_t a, uint32_t b) { return Less(a, b); });
  if (it != order_.end() && *it == rec_no) return static_cast<size_t>(it - order_.begin());
  return order_.size();
}

void TagIndex::Put(uint32_t rec_no, const char* record) {
  // Deferred keys will be built from the rows, this one included.
  if (deferred_count_) return;
  size_t pos = PosOf(rec_no);
  if (pos < order_.size()) order_.erase(order_.begin() + static_cast<ptrdiff_t>(pos));
  Store(rec_no, record);
  auto it = std::lower_bound(order_.begin(), order_.end(), rec_no,
                             [this](uint32_t a, uint32_t b) { return Less(a, b); });
  order_.insert(it, rec_no);
}

size_t TagIndex::LowerBound(double key) const {
  Keys();
  auto it = std::lower_bound(order_.begin(), order_.end(), key,
                             [this](uint32_t r, double k) { return NumberLess(numbers_[r - 1], k); });
  return static_cast<size_t>(it - order_.begin());
}

size_t TagIndex::LowerBound(std::string_view key) const {
  Keys();
  auto it = std::lower_bound(order_.begin(), order_.end(), key,
                             [this](uint32_t r, std::string_view k) { return TextKey(r) < k; });
  return static_cast<size_t>(it - order_.begin());
}

}  // namespace kaslo::db::internal
