// What every record editor shares below its window: the texts of the
// generic commands, the outcome of a validation, the allocation of a new code
// under the exclusive open of the parameter table, the find dialog's key
// rules and the flag combo's mapping between captions and stored codes.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"
#include "db/table.h"

namespace kaslo::registers {

// ---- texts of the generic commands (UTF-8, as the boxes show them)
inline constexpr std::string_view kMsgIncluirFalhou =
    "Não foi possível incluir um novo registro !\r\nTente novamente, ou cancele a operação.";
inline constexpr std::string_view kMsgAlterarFalhou =
    "Não foi possível alterar o registro !\r\nTente novamente, ou cancele a operação.";
inline constexpr std::string_view kMsgExcluirFalhou =
    "Não foi possível excluir o registro !\r\nTente novamente, ou cancele a operação.";
inline constexpr std::string_view kMsgConfirmaExclusao = "Confirma a exclusão deste registro ?";
inline constexpr std::string_view kMsgAguarde = "Aguarde, processando registro...";
inline constexpr std::string_view kOrdenadoCodigo = "   -   Ordenado por Código";
inline constexpr std::string_view kOrdenadoDescricao = "   -   Ordenado por Descrição";

// "Não é possível incluir ... limite máximo de 99 registros."
std::string LimitMessage(int limit);
// "Total [ 12 ]"
std::string TotalText(size_t count);
// The message when a field must be filled: "O campo [ Descrição ] deve ser preenchido !"
std::string MustFill(std::string_view label);

// "O campo [ Pço.Venda ] está fora do limite !"
std::string OutOfLimit(std::string_view label);
// The name of a control in those messages: its label's caption without the
// colon ("Pço.Venda:" gives "Pço.Venda").
std::string LabelName(std::string_view caption);

// ---- numbers typed into the box of a numeric field

// What the text of a box gives for a numeric field of `length` places and
// `decimals` decimals: blank, a number rounded to the field's decimals (the
// value stored), or a refusal: a text that is no number, or a number whose
// whole part does not fit the field. The decimal separator is "." or ",".
struct TypedNumber {
  enum class Kind { kBlank, kNumber, kNotANumber, kOutOfLimit };
  Kind kind = Kind::kBlank;
  double value = 0;
  bool operator==(const TypedNumber&) const = default;
};
TypedNumber ReadTypedNumber(std::string_view text, int length, int decimals);
// The message of a refused number, named by the box's label; nullopt when
// the number can be stored.
std::optional<std::string> TypedNumberRefusal(const TypedNumber& typed, std::string_view label);

// A failed validation: the message to show, the control (named as its field)
// that receives the focus, and whether the pending record is to be cancelled.
struct Invalid {
  std::string message;
  std::string focus;
  bool cancel_record = false;
  bool operator==(const Invalid&) const = default;
};
using Validation = std::optional<Invalid>;  // nullopt: the record passes

// ---- code allocation under the parameter-table lock

enum class Allocation { kDone, kGaveUp, kFailed };

struct LockOptions {
  std::chrono::milliseconds limit{12000};
  // Pause between two tries, so that a waiting station does not spin.
  std::chrono::milliseconds pause{25};
};

// Opens Ycoprm exclusively, retrying until `limit` has passed (kGaveUp),
// with the progress text "Aguarde, processando registro..." shown meanwhile.
// Once open, its parameter row is put into edit mode and `work` runs with
// it; work assigns the code, posts the new record and updates the counter.
// Ycoprm is then posted (kDone). When work returns false or throws, the
// parameter row is cancelled (kFailed). In every case Ycoprm is closed and
// the progress window hidden before returning.
Allocation AllocateUnderParameterLock(const db::Database& db, const std::function<bool(db::Table& prm)>& work,
                                      const LockOptions& options = {});

// ---- find dialog

// Caption of the group box: `description_search` gives "Procurar registro
// por [ <label> ]  ", otherwise "Digite o código e tecle ENTER"; then ";" and
// the label of each further key field; then " (digite as barras)  " per
// date field. labels[i] and is_date[i] describe the key fields in order.
std::string FindCaption(bool description_search, const std::vector<std::string>& labels,
                        const std::vector<bool>& is_date);
// Whether a typed character (Unicode code point) is accepted. Backspace and
// Enter are handled by the caller.
bool FindAccepts(char32_t ch, bool numeric_first_field);
// Moves the table to the nearest row (first key >= the text) on its current
// tag; the text is split at ";" over the tag's fields. Any conversion or
// search error leaves the cursor where it was.
void FindNearestText(db::Table& table, std::string_view latin1_text);

// ---- flag combo

// The index in `values` of the stored text, or -1 when it is not there.
int ComboIndexOf(const std::vector<std::string>& values, std::string_view stored);
// The stored code for the shown caption: values[i] where items[i] == shown,
// or "" when the caption is not an item.
std::string ComboValueOf(const std::vector<std::string>& items, const std::vector<std::string>& values,
                         std::string_view shown);

}  // namespace kaslo::registers
