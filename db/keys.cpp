// Building, searching and updating the in-memory keys of a tag.
#include "db/keys.h"

#include <algorithm>
#include <cstring>

#include "db/dbf_file.h"

namespace db::internal {

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

void TagIndex::Clear() {
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

bool TagIndex::Less(uint32_t a, uint32_t b) const {
  if (type_ == KeyType::kCharacter) {
    int c = std::memcmp(texts_.data() + (a - 1) * size_t{key_length_},
                        texts_.data() + (b - 1) * size_t{key_length_}, key_length_);
    if (c != 0) return c < 0;
  } else {
    double x = numbers_[a - 1], y = numbers_[b - 1];
    if (x != y) return x < y;
  }
  return a < b;
}

void TagIndex::Build(uint32_t count, const RecordAt& record_at) {
  Clear();
  if (type_ == KeyType::kCharacter) texts_.resize(size_t{count} * key_length_);
  else numbers_.resize(count);
  order_.resize(count);
  for (uint32_t r = 1; r <= count; ++r) {
    Store(r, record_at(r));
    order_[r - 1] = r;
  }
  std::sort(order_.begin(), order_.end(), [this](uint32_t a, uint32_t b) { return Less(a, b); });
}

size_t TagIndex::PosOf(uint32_t rec_no) const {
  if (rec_no == 0 || (type_ == KeyType::kCharacter ? texts_.size() / key_length_ : numbers_.size()) < rec_no) {
    return order_.size();
  }
  auto it = std::lower_bound(order_.begin(), order_.end(), rec_no,
                             [this](uint32_t a, uint32_t b) { return Less(a, b); });
  if (it != order_.end() && *it == rec_no) return static_cast<size_t>(it - order_.begin());
  return order_.size();
}

void TagIndex::Put(uint32_t rec_no, const char* record) {
  size_t pos = PosOf(rec_no);
  if (pos < order_.size()) order_.erase(order_.begin() + static_cast<ptrdiff_t>(pos));
  Store(rec_no, record);
  auto it = std::lower_bound(order_.begin(), order_.end(), rec_no,
                             [this](uint32_t a, uint32_t b) { return Less(a, b); });
  order_.insert(it, rec_no);
}

size_t TagIndex::LowerBound(double key) const {
  auto it = std::lower_bound(order_.begin(), order_.end(), key,
                             [this](uint32_t r, double k) { return numbers_[r - 1] < k; });
  return static_cast<size_t>(it - order_.begin());
}

size_t TagIndex::LowerBound(std::string_view key) const {
  auto it = std::lower_bound(order_.begin(), order_.end(), key,
                             [this](uint32_t r, std::string_view k) { return TextKey(r) < k; });
  return static_cast<size_t>(it - order_.begin());
}

}  // namespace db::internal
