// The shared editor rules: messages, the parameter-table lock, the find
// dialog's keys and the flag combo's mapping.
#include "registers/editor_rules.h"

#include <thread>

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

Allocation AllocateUnderParameterLock(const db::Database& db, const std::function<bool(db::Table& prm)>& work,
                                      const LockOptions& options) {
  const auto start = std::chrono::steady_clock::now();
  MostraProgresso(std::string(kMsgAguarde));
  std::unique_ptr<db::Table> prm;
  for (;;) {
    try {
      prm = db.open(ycoprm::kTable, {.tag = "", .exclusive = true});
      break;
    } catch (const db::Error&) {
      // another station holds it: try again until the limit
    }
    if (std::chrono::steady_clock::now() - start > options.limit) {
      FechaProgresso();
      return Allocation::kGaveUp;
    }
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
  FechaProgresso();
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
