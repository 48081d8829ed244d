// The viewer's caption and the names of its reception files.
#include "viewers/register_grid.h"

namespace kaslo::viewers {

std::string ViewerCaption(std::string_view job_title, const RegisterGrid& grid) {
  return std::string(job_title) + " - Total de Registros [ " + std::to_string(grid.rows.size()) + " ]";
}

std::string ReceptionFileName(std::string_view register_name, std::string_view terminal) {
  return "S" + std::string(register_name) + std::string(terminal) + ".rec";
}

}  // namespace kaslo::viewers
