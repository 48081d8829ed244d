// The keys of one index tag, kept in memory while a table is open: every
// record number (deleted rows included, as in the .MDX) sorted by its key,
// then by record number. Numeric and date keys are doubles compared by
// value (numeric keys as their BCD form orders them: see NumberLess);
// character keys are fixed-width byte strings compared as unsigned
// bytes. Keys are stored per record number, so a changed row is moved by
// one erase and one insert.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/expression.h"

namespace kaslo::db::internal {

// Memory of a large array (rows read from disk, keys built from them, sort
// scratch): the elements a vector grows by are left uninitialised, as they
// are written over at once, and from 1 MiB up the block is mapped aligned
// to 2 MiB, in huge pages where the system offers them. Faulting in a
// store's products 4 KiB at a time costs more than reading them.
void* MapLarge(size_t bytes);
void UnmapLarge(void* data, size_t bytes);
constexpr size_t kLargeBlock = size_t{2} << 20;
constexpr size_t kLargeArray = size_t{1} << 20;

template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}  // NOLINT: allocators convert
  T* allocate(size_t n) {
    const size_t bytes = n * sizeof(T);
    if (bytes >= kLargeArray) return static_cast<T*>(MapLarge(bytes));
    return static_cast<T*>(::operator new(bytes));
  }
  void deallocate(T* p, size_t n) noexcept {
    const size_t bytes = n * sizeof(T);
    if (bytes >= kLargeArray) UnmapLarge(p, bytes);
    else ::operator delete(p);
  }
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
  template <class U>
  bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

enum class KeyType : char { kCharacter = 'C', kNumeric = 'N', kDate = 'D' };

class TagIndex {
 public:
  // Gives the record bytes of record n (1-based).
  using RecordAt = std::function<const char*(uint32_t)>;

  TagIndex(std::string name, Expression expression);

  const std::string& name() const { return name_; }
  const Expression& expression() const { return expression_; }
  KeyType type() const { return type_; }
  uint16_t keyLength() const { return key_length_; }

  // Keys of records 1..count.
  void Build(uint32_t count, const RecordAt& record_at);
  // Drops the keys; they are built from the rows on first use. A table opened
  // only to be read in its natural order never pays for sorting them.
  using CountOf = std::function<uint32_t()>;
  void Defer(CountOf count, RecordAt record_at);
  void Clear();
  // Record n is new (n = count + 1) or changed.
  void Put(uint32_t rec_no, const char* record);

  size_t size() const { return Keys().order_.size(); }
  uint32_t RecAt(size_t pos) const { return Keys().order_[pos]; }
  const LargeVector<uint32_t>& order() const { return Keys().order_; }
  // Position of a record in the order (size() when absent).
  size_t PosOf(uint32_t rec_no) const;

  // First position whose key is >= the given one; for character keys the
  // given key may be shorter than the key length (a prefix).
  size_t LowerBound(double key) const;
  size_t LowerBound(std::string_view key) const;
  double NumberKey(uint32_t rec_no) const { return Keys().numbers_[rec_no - 1]; }
  std::string_view TextKey(uint32_t rec_no) const {
    return std::string_view(Keys().texts_.data() + (rec_no - 1) * size_t{key_length_}, key_length_);
  }

 private:
  // The keys, built first when they were deferred.
  const TagIndex& Keys() const {
    if (deferred_count_) const_cast<TagIndex*>(this)->BuildDeferred();
    return *this;
  }
  void BuildDeferred();
  bool Less(uint32_t a, uint32_t b) const;
  bool NumberLess(double a, double b) const;
  uint64_t SortKey(double x) const;
  void SortNumbers(uint32_t count);
  void SortTexts(uint32_t count);
  void Store(uint32_t rec_no, const char* record);

  std::string name_;
  Expression expression_;
  KeyType type_;
  uint16_t key_length_;
  LargeVector<uint32_t> order_;
  LargeVector<double> numbers_;  // by record number - 1
  LargeVector<char> texts_;  // key_length_ bytes per record
  CountOf deferred_count_;  // set while the keys wait to be built
  RecordAt deferred_record_;
};

}  // namespace kaslo::db::internal
