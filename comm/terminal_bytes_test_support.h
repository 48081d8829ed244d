// For tests: the byte forms of the terminals' records (packed decimals,
// little-endian integers, blank-padded texts), to build what a terminal
// would send.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kaslo::comm::testing {

inline std::string Pad(std::string s, size_t n) {
  s.resize(n, ' ');
  return s;
}

inline std::string Blanks(size_t n) { return std::string(n, ' '); }

// Digits packed two to a byte, first digit in the high half.
inline std::string Bcd(std::string_view digits) {
  std::string out;
  for (size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(static_cast<char>(((digits[i] - '0') << 4) | (digits[i + 1] - '0')));
  return out;
}

// The same bytes, low byte first.
inline std::string BcdLowFirst(std::string_view digits) {
  std::string b = Bcd(digits);
  return std::string(b.rbegin(), b.rend());
}

inline std::string Le(uint64_t v, size_t bytes) {
  std::string out;
  for (size_t i = 0; i < bytes; ++i, v >>= 8) out.push_back(static_cast<char>(v & 0xFF));
  return out;
}

}  // namespace kaslo::comm::testing
