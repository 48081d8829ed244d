// A table file from outside: the header, the field descriptors and the
// records of a .DBF, opened and read in full.
#include <cstddef>
#include <cstdint>

#include "db/database.h"
#include "db/error.h"
#include "fuzz/fuzz_support.h"

using namespace kaslo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const fuzz::ScratchDir dir("dbf");
  dir.Write("FUZZ.DBF", fuzz::AsText(data, size));
  try {
    auto table = db::Database(dir.path()).open("FUZZ");
    fuzz::WalkRows(*table);
    for (uint32_t rec = 1; rec <= table->recordCount() && rec <= 64; ++rec)
      for (size_t f = 0; f < table->fields().size(); ++f) table->getStringAt(rec, f);
    table->go(static_cast<uint32_t>(table->recordCount() + 1));
  } catch (const db::Error&) {
    // A refusal with a message is the expected answer to a damaged file.
  }
  return 0;
}
