#include "config/terminal_options.h"

#include "common/text.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoycf.h"

namespace kaslo::config {

std::string_view TableOfPage(OptionsPage page) {
  switch (page) {
    case OptionsPage::kPaymentTypes: return ycoq40::kTable;
    case OptionsPage::kMiscellaneous: return ycoprm::kTable;
    default: return ycoycf::kTable;
  }
}

PageJobs JobsOfPage(OptionsPage page) {
  switch (page) {
    case OptionsPage::kPaymentTypes: return {12, 121};
    case OptionsPage::kMiscellaneous:
    case OptionsPage::kPeripherals: return {13, 131};
    case OptionsPage::kAdjustments: return {14, 141};
    case OptionsPage::kMessage: return {15, 151};
  }
  return {0, 0};
}

const std::array<AdjustmentGroup, 4> kAdjustmentGroups = {{
    {ycoycf::YCF_DSTIPO, ycoycf::YCF_DSPER, ycoycf::YCF_DSALT},
    {ycoycf::YCF_DITIPO, ycoycf::YCF_DIPER, ycoycf::YCF_DIALT},
    {ycoycf::YCF_ASTIPO, ycoycf::YCF_ASPER, ycoycf::YCF_ASALT},
    {ycoycf::YCF_AITIPO, ycoycf::YCF_AIPER, ycoycf::YCF_AIALT},
}};

bool RateApplies(std::string_view type) { return Apara(type) != "V"; }

OptionCommands AvailableOptionCommands(bool editing, bool has_payment_types) {
  if (editing) return {.alterar = false, .cancelar = true, .gravar = true, .localizar = false, .ler = false,
                       .enviar = false, .sair = false};
  return {.alterar = has_payment_types, .cancelar = false, .gravar = false, .localizar = has_payment_types,
          .ler = true, .enviar = has_payment_types, .sair = true};
}

}  // namespace kaslo::config
