// Building, searching and updating the in-memory keys of a tag.
#include "db/keys.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>

#include "db/dbf_file.h"

namespace kaslo::db::internal {

void AdviseHugePages(const void* data, size_t bytes) {
  constexpr uintptr_t kHuge = uintptr_t{2} << 20;
  if (bytes < 2 * kHuge) return;
  auto begin = reinterpret_cast<uintptr_t>(data);
  uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
  uintptr_t last = (begin + bytes) & ~(kHuge - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
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
bool TagIndex::NumberLess(double a, double b) const {
  if (type_ == KeyType::kNumeric) {
    auto rank = [](double x) { return x < 0 ? 0 : (x > 0 && x < 0.1) ? 1 : 2; };
    int ra = rank(a), rb = rank(b);
    if (ra != rb) return ra < rb;
  }
  return a < b;
}

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
  if (type_ == KeyType::kCharacter) {
    ReserveLarge(texts_, size_t{count} * key_length_);
    texts_.resize(size_t{count} * key_length_);
  }
  else numbers_.resize(count);
  order_.resize(count);
  for (uint32_t r = 1; r <= count; ++r) Store(r, record_at(r));
  // Sorting (key, record) pairs keeps the comparisons in one array; the
  // first 16 bytes of each key ride along as integers, so that most
  // comparisons never reach the key texts (descriptions share long starts
  // such as "BISCOITO INTEGRAL").
  if (type_ == KeyType::kCharacter) {
    struct Item { uint64_t high, low; uint32_t rec; };
    std::vector<Item> items;
    ReserveLarge(items, size_t{count} * sizeof(Item));
    items.resize(count);
    for (uint32_t r = 1; r <= count; ++r) {
      const char* key = texts_.data() + size_t{r - 1} * key_length_;
      items[r - 1] = {Prefix(key, key_length_), key_length_ > 8 ? Prefix(key + 8, key_length_ - 8u) : 0, r};
    }
    const size_t rest = key_length_ > 16 ? key_length_ - 16u : 0u;
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
      if (a.high != b.high) return a.high < b.high;
      if (a.low != b.low) return a.low < b.low;
      if (rest) {
        int c = CompareBytes(texts_.data() + size_t{a.rec - 1} * key_length_ + 16,
                             texts_.data() + size_t{b.rec - 1} * key_length_ + 16, rest);
        if (c != 0) return c < 0;
      }
      return a.rec < b.rec;
    });
    for (uint32_t i = 0; i < count; ++i) order_[i] = items[i].rec;
  } else {
    struct Item { double key; uint32_t rec; };
    std::vector<Item> items(count);
    for (uint32_t r = 1; r <= count; ++r) items[r - 1] = {numbers_[r - 1], r};
    std::sort(items.begin(), items.end(), [this](const Item& a, const Item& b) {
      return a.key != b.key ? NumberLess(a.key, b.key) : a.rec < b.rec;
    });
    for (uint32_t i = 0; i < count; ++i) order_[i] = items[i].rec;
  }
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
