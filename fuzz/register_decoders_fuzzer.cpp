// The registers and configuration blocks a terminal sends back, decoded into
// the viewer's grid. The first byte picks the decoder; decoders of several
// files take the parts of the rest split at "#|#". Every row must have one
// cell per header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "db/temp_data_dir.h"
#include "fuzz/fuzz_support.h"
#include "viewers/client_register.h"
#include "viewers/config_registers.h"
#include "viewers/product_register.h"
#include "viewers/text_registers.h"

using namespace kaslo;
using namespace kaslo::viewers;

namespace {

std::vector<std::string_view> Parts(std::string_view bytes, size_t count) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < count) {
    const size_t at = bytes.find("#|#");
    if (at == std::string_view::npos) break;
    parts.push_back(bytes.substr(0, at));
    bytes.remove_prefix(at + 3);
  }
  parts.push_back(bytes);
  parts.resize(count);
  return parts;
}

void CheckShape(const RegisterGrid& grid) {
  for (const auto& row : grid.rows)
    if (row.size() != grid.headers.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const db::testing::TempDataDir dir({.demo = true});
  if (size == 0) return 0;
  const std::string_view bytes = fuzz::AsText(data + 1, size - 1);
  switch (data[0] % 16) {
    case 0: CheckShape(DecodeOperators(bytes)); break;
    case 1: CheckShape(DecodeSellers(bytes)); break;
    case 2: CheckShape(DecodeGroups(bytes)); break;
    case 3: CheckShape(DecodeDepartments(bytes)); break;
    case 4: CheckShape(DecodeClients(bytes)); break;
    case 5: {
      const auto p = Parts(bytes, 2);
      CheckShape(DecodePaymentConfig(p[0], p[1]));
      CheckShape(DecodePayments(p[0], p[1]));
      break;
    }
    case 6: {
      const auto p = Parts(bytes, 3);
      CheckShape(DecodeParameters(p[0], p[1], p[2]));
      break;
    }
    case 7: CheckShape(DecodeDiscounts(bytes)); break;
    case 8: CheckShape(DecodeSaleMessage(bytes)); break;
    case 9: CheckShape(DecodeStoreData(bytes)); break;
    case 10: CheckShape(DecodeDateTime(bytes)); break;
    case 11: CheckShape(DecodeKeyboard(dir.db(), bytes)); break;
    case 12: CheckShape(DecodeProducts(bytes, kShortProductRecord, false)); break;
    case 13: CheckShape(DecodeProducts(bytes, kLongProductRecord, true, {}, [](double) { return 3; })); break;
    case 14:
      // A whole record is the decoder's precondition; DecodeProducts cuts them.
      if (bytes.size() < kShortProductRecord) break;
      if (DecodeProductRecord(bytes, data[0] & 0x10, 2 + (data[0] >> 5) % 2).size() != 11) std::abort();
      StoredCode(bytes);
      break;
    default: break;
  }
  return 0;
}
