// The LOG conversion of a terminal's LOG reading.
#include "comm/log_conversion.h"

namespace comm {

std::string LogRecordLine(std::string_view record) { return {}; }
void ConvertLog(const std::filesystem::path& dir, int terminal, bool log_clear, kaslo::DateTime now) {}
std::string MonthLogFileName(int terminal, kaslo::DateTime now) { return {}; }

}  // namespace comm
