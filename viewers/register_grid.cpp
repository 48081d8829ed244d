// The viewer's caption, the names of its reception files and the message
// of a replacement.
#include "viewers/register_grid.h"

#include "db/backup.h"

namespace kaslo::viewers {

std::string ViewerCaption(std::string_view job_title, const RegisterGrid& grid) {
  return std::string(job_title) + " - Total de Registros [ " + std::to_string(grid.rows.size()) + " ]";
}

std::string ReceptionFileName(std::string_view register_name, std::string_view terminal) {
  return "S" + std::string(register_name) + std::string(terminal) + ".rec";
}

std::string ShownMessage(const ReplaceOutcome& outcome) {
  if (outcome.message.empty() || outcome.backup.empty()) return outcome.message;
  return outcome.message + "\r" + db::BackupLine(outcome.backup);
}

}  // namespace kaslo::viewers
