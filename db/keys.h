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
#include <vector>

#include "db/expression.h"

namespace db::internal {

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
  void Clear();
  // Record n is new (n = count + 1) or changed.
  void Put(uint32_t rec_no, const char* record);

  size_t size() const { return order_.size(); }
  uint32_t RecAt(size_t pos) const { return order_[pos]; }
  const std::vector<uint32_t>& order() const { return order_; }
  // Position of a record in the order (size() when absent).
  size_t PosOf(uint32_t rec_no) const;

  // First position whose key is >= the given one; for character keys the
  // given key may be shorter than the key length (a prefix).
  size_t LowerBound(double key) const;
  size_t LowerBound(std::string_view key) const;
  double NumberKey(uint32_t rec_no) const { return numbers_[rec_no - 1]; }
  std::string_view TextKey(uint32_t rec_no) const {
    return std::string_view(texts_.data() + (rec_no - 1) * size_t{key_length_}, key_length_);
  }

 private:
  bool Less(uint32_t a, uint32_t b) const;
  bool NumberLess(double a, double b) const;
  void Store(uint32_t rec_no, const char* record);

  std::string name_;
  Expression expression_;
  KeyType type_;
  uint16_t key_length_;
  std::vector<uint32_t> order_;
  std::vector<double> numbers_;  // by record number - 1
  std::string texts_;            // key_length_ bytes per record
  std::vector<bool> present_;
};

}  // namespace db::internal
