// The lines of the product files other store systems write (NLUFILE.MTR in
// both layouts, OPTICASH.TXT, NLUMNT.MTR), read one line at a time as the
// imports do. The first byte picks the reader and its options.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "interchange/product_lines.h"

using namespace kaslo;
using namespace kaslo::interchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const ConversionSlots slots = [] {
    ConversionSlots s;
    for (int k = 0; k < kConversionSlots; k += 2) s[k] = std::to_string(k + 1);
    return s;
  }();
  const std::string_view line = fuzz::AsText(data + 1, size - 1);
  const bool check_digit = data[0] & 1;
  const ConversionSlots* with_slots = (data[0] & 2) ? &slots : nullptr;
  switch ((data[0] >> 2) % 4) {
    case 0: ReadNlufileLine(line, check_digit, with_slots); break;
    case 1: ReadOpticashLine(line, check_digit); break;
    case 2: ReadNlumntLine(line, check_digit, with_slots); break;
    case 3: PriceOfDigits(line.substr(0, 24), 2 + data[0] % 2); break;
  }
  return 0;
}
