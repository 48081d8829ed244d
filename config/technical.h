// The technical intervention of the second terminal model: which table and
// which jobs each page of its window uses, and the rules a row must pass
// before it is saved. The rules read the typed texts; the lookups of
// repeated numbers, addresses, codes and legends go through the tables.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "common/clock.h"
#include "db/database.h"

namespace kaslo::config {

enum class TechnicalPage { kTerminals, kHeader, kTaxes, kKeyboard, kDateTime, kStore };
inline constexpr int kTechnicalPageCount = 6;

// What the commands act on in a page: the tables of Incluir/Excluir and of
// Alterar/Gravar/Cancelar ("" when not offered or when the page edits no
// table), and the jobs of "Lêr" and "Enviar" (0 when not offered).
struct TechnicalPageUse {
  std::string_view insert_table;
  std::string_view edit_table;
  bool alterar;  // the keyboard is programmed directly, never through Alterar
  int read_job;
  int send_job;
};
TechnicalPageUse UseOfPage(TechnicalPage page);

// A rule that failed: its message and the field to put the focus on (an
// index into the fields of the rule's input, in the order declared).
struct RuleFailure {
  std::string message;
  int field = 0;
};
using RuleResult = std::optional<RuleFailure>;

// `own_record` is the record number of the row being changed, 0 for a new
// row: a row never collides with itself.
struct TerminalInput {
  std::string number, address, serial;  // Latin-1, as typed
  enum Field { kNumber, kAddress, kSerial };
};
RuleResult CheckTerminal(const db::Database& db, const TerminalInput& in, uint32_t own_record);

struct HeaderInput {
  std::string name, address;
  enum Field { kName, kAddress };
};
RuleResult CheckHeader(const HeaderInput& in);

struct TaxInput {
  std::string code, description, legend;
  enum Field { kCode, kDescription, kLegend };
};
RuleResult CheckTax(const db::Database& db, const TaxInput& in, bool new_row);
// Codes 14 to 16 (substitution, exempt, not taxed) are fixed.
bool IsFixedTaxCode(double code);
inline constexpr std::string_view kMsgTributacaoFixa = "Não é possível editar Tributação Fixa !";

struct StoreInput {
  std::string cnpj, ie, city, district, cep, state, area_code, phone, contact;
  enum Field { kCnpj, kIe, kCity, kDistrict, kCep, kState, kAreaCode, kPhone, kContact };
};
RuleResult CheckStore(const StoreInput& in);

// The date and hour that job 191 sends, read from their boxes
// ("dd/mm/yyyy", "hh:mm"); a box that holds no valid value is named in the
// message.
struct DateTimeInput {
  std::string date, hour;
  enum Field { kDate, kHour };
};
inline constexpr std::string_view kMsgDataInvalida = "Data inválida !";
inline constexpr std::string_view kMsgHoraInvalida = "Hora inválida !";
std::variant<kaslo::DateTime, RuleFailure> ReadDateTime(const DateTimeInput& in);

inline constexpr std::string_view kCaptionTechnical = "Configuração Técnica";

}  // namespace kaslo::config
