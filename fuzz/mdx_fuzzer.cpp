// A production index from outside: a valid departments table of a demo data
// directory with the input as its .MDX, opened, walked by every tag and
// searched.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "db/database.h"
#include "db/error.h"
#include "db/temp_data_dir.h"
#include "fuzz/fuzz_support.h"

using namespace kaslo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const db::testing::TempDataDir dir({.demo = true});
  const std::string_view input = fuzz::AsText(data, size);
  {
    std::ofstream out(dir.db().pathFor("YCODEP.MDX"), std::ios::binary | std::ios::trunc);
    out.write(input.data(), static_cast<std::streamsize>(input.size()));
  }
  // The search keys come from the input's last bytes.
  const std::string key(input.substr(input.size() > 8 ? input.size() - 8 : 0));
  try {
    auto table = dir.db().open("YCODEP");
    for (const std::string& tag : table->tagNames()) {
      table->tagFields(tag);
      table->tagExpression(tag);
      table->setTag(tag);
      fuzz::WalkRows(*table);
      table->findKey(key);
      table->findKey(static_cast<double>(size % 100));
      table->findNearest({key});
    }
    table->setTag("");
  } catch (const db::Error&) {
  }
  return 0;
}
