// The LOG texts of a terminal: the conversion of its binary records into
// lines, and the daily SINTEGRA generation that dispatches on each line's
// code, over a demo data directory. A line that does not hold what its code
// says must end in the error box, never in a crash.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string_view>

#include "app/daily_sintegra.h"
#include "comm/log_conversion.h"
#include "common/testing/scripted_messages.h"
#include "db/temp_data_dir.h"
#include "fuzz/fuzz_support.h"

using namespace kaslo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const db::testing::TempDataDir dir({.demo = true});
  const std::string_view text = fuzz::AsText(data, size);
  comm::LogRecordLine(text.substr(0, 256));
  {
    std::ofstream out(dir.db().pathFor(app::DailyLogFileName(1)), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  testing::ScriptedMessages boxes;
  app::GenerateDailySintegra(dir.db(), "122026", 1);
  return 0;
}
