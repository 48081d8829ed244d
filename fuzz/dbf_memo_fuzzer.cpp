// A table with memo fields from outside: the input is the .DBF, the marker
// "#DBT#" and the .DBT; every memo of every row is read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "db/database.h"
#include "db/error.h"
#include "fuzz/fuzz_support.h"

using namespace kaslo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::ScratchDir dir("dbt");
  constexpr std::string_view kMarker = "#DBT#";
  const std::string_view input = fuzz::AsText(data, size);
  const size_t split = input.find(kMarker);
  dir.Write("FUZZ.DBF", input.substr(0, split));
  if (split == std::string_view::npos) dir.Remove("FUZZ.DBT");
  else dir.Write("FUZZ.DBT", input.substr(split + kMarker.size()));
  try {
    auto table = db::Database(dir.path()).open("FUZZ");
    fuzz::WalkRows(*table);
  } catch (const db::Error&) {
  }
  return 0;
}
