#include "config/parameters.h"

#include "common/text.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoycf.h"

namespace kaslo::config {

void BeginParameterEdit(db::Table& prm) {
  prm.refresh();
  prm.first();
  if (prm.eof()) prm.append();
  else prm.edit();
}

std::string EditFailure(std::string_view text, std::string_view cause) {
  std::string message(text);
  if (!cause.empty()) {
    message += "\r\n";
    message += cause;
  }
  return message;
}

const CentringField kHeaderCentring[4] = {{ycoprm::Q40_CAMCEN, ycoprm::Q40_CEN1},
                                          {ycoprm::Q40_CAMCE1, ycoprm::Q40_CEN2},
                                          {ycoprm::Q40_CAMCE2, ycoprm::Q40_CEN3},
                                          {ycoprm::Q40_CAMCE3, ycoprm::Q40_CEN4}};
const CentringField kMessageCentring[4] = {{ycoycf::YCF_CAMCEN, ycoycf::YCF_CEN1},
                                           {ycoycf::YCF_CAMCE1, ycoycf::YCF_CEN2},
                                           {ycoycf::YCF_CAMCE2, ycoycf::YCF_CEN3},
                                           {ycoycf::YCF_CAMCE3, ycoycf::YCF_CEN4}};

void WriteCentring(db::Table& table, const CentringField& line, std::string_view value) {
  table.setString(line.shown.name, value);
  table.setString(line.also.name, value);
}

std::string FreeCodeSearchShown(std::string_view stored) { return Apara(stored) == "N" ? "N" : "S"; }

std::string LogOnLineText(bool on) { return on ? "SIM" : "NAO"; }
bool LogOnLineChosen(std::string_view text) { return text == "SIM"; }

}  // namespace kaslo::config
