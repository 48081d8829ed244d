// The options of the first terminal model: which table each page of the
// options window edits, which jobs read and send it, and the rule of the
// four discount and surcharge groups.
#pragma once

#include <array>
#include <string_view>

#include "db/field.h"

namespace kaslo::config {

enum class OptionsPage { kPaymentTypes, kMiscellaneous, kPeripherals, kAdjustments, kMessage };
inline constexpr int kOptionsPageCount = 5;

// "Ycoq40", "Ycoprm" or "Ycoycf".
std::string_view TableOfPage(OptionsPage page);

struct PageJobs {
  int read;  // "Lêr"
  int send;  // "Enviar"
};
PageJobs JobsOfPage(OptionsPage page);

// A discount or surcharge group: its type ("P" percentage, "V" value), its
// rate and whether the terminal may alter the rate.
struct AdjustmentGroup {
  db::FieldDef type;
  db::FieldDef rate;
  db::FieldDef may_alter;
};
// Subtotal discount, item discount, subtotal surcharge, item surcharge.
extern const std::array<AdjustmentGroup, 4> kAdjustmentGroups;
// The rate and its "may alter" choice mean nothing for a value.
bool RateApplies(std::string_view type);

// What the window offers in each state.
struct OptionCommands {
  bool alterar, cancelar, gravar, localizar, ler, enviar, sair;
};
OptionCommands AvailableOptionCommands(bool editing, bool has_payment_types);

inline constexpr std::string_view kCaptionByCode =
    "Configuração de Parâmetros não fiscais   -   Finalizadora Ordenada por Código";
inline constexpr std::string_view kCaptionByDescription =
    "Configuração de Parâmetros não fiscais   -   Finalizadora Ordenada por Descrição";

}  // namespace kaslo::config
