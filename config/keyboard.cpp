#include "config/keyboard.h"

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycotey.h"

namespace kaslo::config {

namespace {

std::string Two(int n) { return NumeroComZeros(2, 0, n); }

KeyFunction Numbered(std::string_view letter, std::string_view name, int base, int n) {
  const std::string legend = std::string(letter) + Two(n);
  return {"[ " + legend + " ] - " + std::string(name) + " " + Two(n), base + n, legend, true};
}

// Five ranges of 20 ("de 00 a 20", "de 21 a 40", ...), the first starting at `from`.
std::vector<KeyMenuNode> Ranges(int from, std::string_view letter, std::string_view name, int base) {
  std::vector<KeyMenuNode> ranges;
  for (int last : {20, 40, 60, 80, 99}) {
    KeyMenuNode range{"de " + Two(from) + " a " + Two(last), {}, {}};
    for (int n = from; n <= last; ++n) range.functions.push_back(Numbered(letter, name, base, n));
    ranges.push_back(std::move(range));
    from = last + 1;
  }
  return ranges;
}

struct Plain {
  const char* caption;
  int code;
};
constexpr Plain kRegisterFunctions[] = {
    {"[ LIM ] - Limite", 1},
    {"[ VAL ] - Validação", 2},
    {"[ DIN ] - Dinheiro", 3},
    {"[ CHQ ] - Cheque", 4},
    {"[ CAR ] - Cartão", 5},
    {"[ VAS ] - Vasilhame", 6},
    {"[ BAL ] - Balança", 7},
    {"[ CON ] - Consulta PLU", 8},
    {"[ COR ] - Canc.de Item", 9},
    {"[ CAN ] - Cancelamento de Ítem", 10},
    {"[ DES ] - Desconto", 11},
    {"[ ACR ] - Acréscimo", 12},
    {"[ VEN ] - Vendedor", 13},
    {"[ CCP ] - Cancelamento de Cupom", 14},
    {"[ F01 ] - FUNCAO 01", 15},
    {"[ SUB ] - Sub Total", 16},
    {"[ QTD ] -Quantidade", 17},
    {"[ CPF ] - CPF / CNPJ", 18},
    {"[ SAN ] - Sangria", 19},
    {"[ FUN ] - Fundo de Caixa", 20},
    {"[ CCL ] - Consulta Cliente", 21},
    {"[ . ] - Ponto", 22},
    {"[ RCB ] - Recebimentos Diversos", 23},
    {"[ CNF ] - Comprovante não Fiscal", 25},
    {"[ TEF ] - Transação Eletrônica de Fundos", 26},
    {"[ CUP ] - Avança Cupom", 43},
};
constexpr int kCardCode = 5;

KeyMenuNode BuildMenu() {
  KeyMenuNode root;
  root.submenus.push_back({"Departamentos", Ranges(0, "D", "DEPTO", 900), {}});
  KeyMenuNode groups{"Grupos de Item", {}, {}};
  for (int n = 1; n <= 5; ++n) groups.functions.push_back(Numbered("G", "GRUPO", 800, n));
  root.submenus.push_back(std::move(groups));
  root.submenus.push_back({"PLU", Ranges(6, "G", "PLU", 800), {}});
  for (const Plain& f : kRegisterFunctions) {
    // the legend is what the brackets hold
    const std::string caption = f.caption;
    const size_t close = caption.find(']');
    root.functions.push_back({caption, f.code, Apara(caption.substr(1, close - 1)), f.code != kCardCode});
  }
  return root;
}

void Collect(const KeyMenuNode& node, std::vector<const KeyFunction*>& out) {
  for (const KeyMenuNode& sub : node.submenus) Collect(sub, out);
  for (const KeyFunction& f : node.functions) out.push_back(&f);
}

std::string ModelFilter() { return "TEY_TYPE = '" + std::string(kKeyboardModel) + "'"; }

ProgrammedKey KeyOf(const db::Table& tey) {
  return {static_cast<int>(tey.asInteger(ycotey::TEY_NUMBER)), Latin1ToUtf8(Apara(tey.getString(ycotey::TEY_LEGEND))),
          KeyHint(tey.getString(ycotey::TEY_DESCR), tey.getString(ycotey::TEY_DESCRI))};
}

// Runs `write` on the table and leaves it unfiltered and re-read, whatever
// happens.
template <typename Write>
auto Filtered(db::Table& tey, const std::string& filter, Write write) {
  struct Restore {
    db::Table& t;
    ~Restore() {
      try {
        if (t.mode() != db::Mode::kBrowse) t.cancel();
        t.setFilter("");
        t.refresh();
      } catch (const db::Error&) {
      }
    }
  } restore{tey};
  tey.setFilter(filter);
  tey.first();
  return write();
}

}  // namespace

bool IsProgrammableKey(int position) { return position >= 1 && position <= kKeyPositions && position != 23; }

const KeyMenuNode& KeyMenu() {
  static const KeyMenuNode menu = BuildMenu();
  return menu;
}

std::vector<const KeyFunction*> KeyFunctions() {
  std::vector<const KeyFunction*> all;
  Collect(KeyMenu(), all);
  return all;
}

std::string KeyHint(std::string_view description, std::string_view label) {
  return "  Função: " + Latin1ToUtf8(Apara(description)) + "\n" + "Etiqueta: " + Latin1ToUtf8(Apara(label));
}

std::map<int, ProgrammedKey> ProgrammedKeys(db::Table& tey) {
  std::map<int, ProgrammedKey> keys;
  Filtered(tey, ModelFilter(), [&] {
    for (; !tey.eof(); tey.next()) {
      const int position = static_cast<int>(tey.asInteger(ycotey::TEY_BOTON));
      if (IsProgrammableKey(position)) keys.emplace(position, KeyOf(tey));
    }
  });
  return keys;
}

KeyAssignment AssignKey(db::Table& tey, int position, int code) {
  const std::string filter = "TEY_NUMBER = '" + std::to_string(code) + "' AND " + ModelFilter();
  return Filtered(tey, filter, [&] {
    KeyAssignment outcome;
    if (tey.eof()) {
      outcome.result = KeyAssignment::kNoFunction;
      return outcome;
    }
    try {
      tey.edit();
      tey.setNumber(ycotey::TEY_BOTON.name, position);
      tey.setNumber(ycotey::TEY_NTECLA.name, code);
      outcome.key = KeyOf(tey);
      if (tey.post()) outcome.result = KeyAssignment::kAssigned;
    } catch (const db::Error& e) {
      outcome.cause = e.what();
    }
    return outcome;
  });
}

KeyRelease ReleaseKey(db::Table& tey, int position) {
  const std::string filter = "TEY_BOTON = '" + std::to_string(position) + "' AND " + ModelFilter();
  return Filtered(tey, filter, [&] {
    KeyRelease outcome;
    try {
      // a row leaves the filter once released
      while (!tey.eof()) {
        const std::string legend = Latin1ToUtf8(Apara(tey.getString(ycotey::TEY_LEGEND)));
        tey.edit();
        tey.setNumber(ycotey::TEY_BOTON.name, 0);
        tey.setNumber(ycotey::TEY_NTECLA.name, 0);
        if (!tey.post()) return outcome;
        outcome.freed.push_back(legend);
        tey.first();
      }
      outcome.ok = true;
    } catch (const db::Error& e) {
      outcome.cause = e.what();
    }
    return outcome;
  });
}

std::string FunctionMissingText(std::string_view caption) {
  return "Função " + std::string(caption) + " não cadastrada !";
}

}  // namespace kaslo::config
