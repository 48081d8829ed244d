// The shared editor rules: messages, the parameter-table lock, the find
// dialog's keys and the flag combo's mapping.
#include "registers/editor_rules.h"

#include <algorithm>
#include <thread>

#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/field.h"
#include "db/tables/ycoprm.h"

namespace kaslo::registers {

std::string LimitMessage(int limit) {
  return "Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo de " +
         std::to_string(limit) + " registros.";
}

std::string TotalText(size_t count) { return "Total [ " + std::to_string(count) + " ]"; }

std::string MustFill(std::string_view label) {
  return "O campo [ " + std::string(label) + " ] deve ser preenchido !";
}

std::string OutOfLimit(std::string_view label) {
  return "O campo [ " + std::string(label) + " ] está fora do limite !";
}

std::string LabelName(std::string_view caption) {
  std::string name = Apara(caption);
  if (!name.empty() && name.back() == ':') name.pop_back();
  return Apara(name);
}

TypedNumber ReadTypedNumber(std::string_view text, int length, int decimals) {
  std::string typed = Apara(text);
  if (typed.empty()) return {};
  // plain digits, an optional sign in front and one decimal separator;
  // nothing that the reading of numbers would cut off in silence
  size_t digits = 0, separators = 0;
  for (size_t i = 0; i < typed.size(); ++i) {
    char& c = typed[i];
    if (c >= '0' && c <= '9') ++digits;
    else if (c == '-' && i == 0) continue;
    else if (c == '.' || c == ',') {
      c = '.';
      ++separators;
    } else {
      return {TypedNumber::Kind::kNotANumber};
    }
  }
  if (digits == 0 || separators > 1) return {TypedNumber::Kind::kNotANumber};
  // a whole part longer than the field is refused before it is read, so that
  // no text of hundreds of digits reaches the reading of numbers
  const std::string_view whole = std::string_view(typed).substr(0, typed.find('.'));
  const size_t first = whole.find_first_not_of("-0");
  const size_t whole_digits = first == std::string_view::npos ? 0 : whole.size() - first;
  if (whole_digits > static_cast<size_t>(std::max(length, 0))) return {TypedNumber::Kind::kOutOfLimit};
  // rounded as the table rounds it; the whole part must then fit the field
  const std::string stored = NumeroParaTexto(0, decimals, TextoParaNumero(typed));
  if (stored.size() > static_cast<size_t>(std::max(length, 0))) return {TypedNumber::Kind::kOutOfLimit};
  return {TypedNumber::Kind::kNumber, TextoParaNumero(stored)};
}

std::optional<std::string> TypedNumberRefusal(const TypedNumber& typed, std::string_view label) {
  switch (typed.kind) {
    case TypedNumber::Kind::kNotANumber: return MustFill(label);
    case TypedNumber::Kind::kOutOfLimit: return OutOfLimit(label);
    case TypedNumber::Kind::kBlank:
    case TypedNumber::Kind::kNumber: break;
  }
  return std::nullopt;
}

Allocation AllocateUnderParameterLock(const db::Database& db, const std::function<bool(db::Table& prm)>& work,
                                      const LockOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  ScopedProgress wait(kMsgAguarde);
  std::unique_ptr<db::Table> prm;
  for (;;) {
    try {
      prm = db.open(ycoprm::kTable, {.tag = "", .exclusive = true});
      break;
    } catch (const db::Error&) {
      // another station holds it: try again until the limit
    }
    if (std::chrono::steady_clock::now() - start > options.limit) return Allocation::kGaveUp;
    std::this_thread::sleep_for(options.pause);
  }
  Allocation result = Allocation::kFailed;
  try {
    prm->first();
    if (prm->eof()) {
      prm->append();  // a parameter table without its row gets one
    } else {
      prm->edit();
    }
    if (work(*prm) && prm->post()) {
      result = Allocation::kDone;
    }
  } catch (const db::Error&) {
  }
  if (prm->mode() != db::Mode::kBrowse) prm->cancel();
  prm->close();
  return result;
}

std::string FindCaption(bool description_search, const std::vector<std::string>& labels,
                        const std::vector<bool>& is_date) {
  std::string caption;
  if (description_search) {
    caption = "Procurar registro por [ " + (labels.empty() ? std::string() : labels[0]) + " ]  ";
  } else {
    caption = "Digite o código e tecle ENTER";
  }
  for (size_t i = 1; i < labels.size(); ++i) caption += ";" + labels[i];
  for (bool date : is_date) {
    if (date) caption += " (digite as barras)  ";
  }
  return caption;
}

bool FindAccepts(char32_t ch, bool numeric_first_field) {
  static constexpr std::u32string_view kDiscarded = U"#$%&,;@^`~Çç";
  if (kDiscarded.find(ch) != std::u32string_view::npos) return false;
  if (numeric_first_field) return ch >= U'0' && ch <= U'9';
  return true;
}

void FindNearestText(db::Table& table, std::string_view text) {
  if (table.tag().empty()) return;
  try {
    const auto fields = table.tagFields(table.tag());
    std::vector<db::KeyPart> key;
    size_t start = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
      size_t end = i + 1 < fields.size() ? text.find(';', start) : std::string_view::npos;
      std::string part(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
      const auto& info = table.fields()[*table.fieldIndex(fields[i])];
      if (info.type == db::FieldType::kDate) {
        // dd/mm/yyyy as typed, with the slashes
        if (part.size() != 10) throw db::Error("date");
        key.emplace_back(part.substr(6, 4) + part.substr(3, 2) + part.substr(0, 2));
      } else {
        key.emplace_back(part);
      }
      if (end == std::string_view::npos) break;
      start = end + 1;
    }
    const uint32_t before = table.recNo();
    table.findNearest(key);
    if (table.eof() && before != 0) table.last();  // nothing higher: stay on the last row
  } catch (const db::Error&) {
  }
}

int ComboIndexOf(const std::vector<std::string>& values, std::string_view stored) {
  for (size_t i = 0; i < values.size(); ++i) {
    if (values[i] == stored) return static_cast<int>(i);
  }
  return -1;
}

std::string ComboValueOf(const std::vector<std::string>& items, const std::vector<std::string>& values,
                         std::string_view shown) {
  for (size_t i = 0; i < items.size() && i < values.size(); ++i) {
    if (items[i] == shown) return values[i];
  }
  return {};
}

}  // namespace kaslo::registers
