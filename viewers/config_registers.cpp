// Decoding and replacement of the configuration blocks.
#include "viewers/config_registers.h"

#include <cmath>
#include <memory>
#include <string>

#include "common/encoding.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoycf.h"
#include "viewers/register_common.h"

namespace kaslo::viewers {
namespace {

// ---- cells

// The character at pos (1-based), or nothing when the line is shorter.
std::string_view CharAt(std::string_view line, size_t pos) { return Field(line, pos, 1); }

// "NÃO" for "N" and "SIM" for any other character; empty when there is none.
std::string YesUnlessN(std::string_view c) {
  if (c.empty()) return {};
  return c == "N" ? "NÃO" : "SIM";
}

// "NÃO" for "N", any other character as it is; empty when there is none.
std::string NoOrAsIs(std::string_view c) {
  if (c.empty()) return {};
  return c == "N" ? "NÃO" : Latin1ToUtf8(c);
}

// "SIM" for "S" and "NÃO" otherwise; empty when there is none.
std::string SimNaoOf(std::string_view c) { return c.empty() ? std::string() : SimNao(c[0]); }

// Row i of a grid, an empty row past its end.
const GridRow& RowAt(const RegisterGrid& grid, size_t i) {
  static const GridRow kNone;
  return i < grid.rows.size() ? grid.rows[i] : kNone;
}

std::string Zeros2(double v) { return NumeroComZeros(2, 0, v); }

// The display format "#,##0.00": 12345 shows "12,345.00".
std::string Grouped(double v) {
  std::string plain = NumeroParaTexto(0, 2, v);
  const size_t sign = plain[0] == '-' ? 1 : 0;
  for (size_t i = plain.find('.'); i > sign + 3; i -= 3) plain.insert(i - 3, ",");
  return plain;
}

// A grouped cell reads back as the number it shows: the commas only group.
double GroupedNumber(std::string_view cell) { return CellNumber(RemoveTexto(cell, ",")); }

// The display format "00:00": the whole number's last two digits after a
// colon, at least two before it (1430 shows "14:30").
std::string HourMinute(double v) {
  std::string digits = NumeroComZeros(4, 0, std::fabs(v));
  digits.insert(digits.size() - 2, ":");
  return v < 0 ? "-" + digits : digits;
}

// ---- the single-row configuration tables

// The row the table opens on. A table without its row gets one, so that a
// replacement never finds nothing to write into.
void EditSingleRow(db::Table& t) {
  t.first();
  if (t.eof())
    t.append();
  else
    t.edit();
}

// Runs write on the ReplacedTables of `tables` and puts them in place; an
// engine error gives the failure message of the configuration blocks.
ReplaceOutcome WriteConfiguration(const db::Database& db, const std::vector<std::string>& tables,
                                  std::string_view success, const std::function<void(ReplacedTables&)>& write) {
  ReplaceOutcome outcome;
  try {
    ReplacedTables replaced(db, tables);
    write(replaced);
    outcome.backup = replaced.finish();
  } catch (const db::Error& e) {
    outcome.message = kErroIncluirExclamacao;
    outcome.detail = e.what();
    return outcome;
  }
  outcome.completed = true;
  outcome.message = success;
  outcome.rows_written = 1;
  return outcome;
}

// ---- payment types

constexpr size_t kNameLength = 15;
constexpr size_t kConfigLength = 9;
enum PaymentColumn { kPayNumber, kPayName, kPayLimit, kPayChange, kPayKind, kPayDrawer, kPayCheck, kPayColumns };

RegisterGrid PaymentGrid() {
  RegisterGrid grid;
  grid.headers = {"Finalizadora", "Nome", "Lim.Receb.", "Perm.Troco", "Tipo", "Abrir Gav.", "Em.Cont.Val."};
  return grid;
}

std::string PaymentKind(std::string_view digit) {
  switch (TextoParaInteiro(digit)) {
    case 1: return "1 PADRÃO";
    case 2: return "2 CHEQUE";
    case 3: return "3 TEF1";
    case 4: return "4 CONVÊNIO";
    case 5: return "5 TEF2";
    default: return {};
  }
}

// Row n's number and the cells of its configuration record.
void FillPayment(GridRow& row, size_t n, std::string_view config) {
  row[kPayNumber] = Zeros2(static_cast<double>(n));
  row[kPayLimit] = NumeroParaTexto(0, 2, TextoParaNumero(Field(config, 1, 6)));
  row[kPayChange] = SimNaoOf(CharAt(config, 6));
  row[kPayDrawer] = SimNaoOf(CharAt(config, 7));
  row[kPayKind] = PaymentKind(CharAt(config, 8));
  row[kPayCheck] = SimNaoOf(CharAt(config, 9));
}

// Cuts the front record of a line.
std::string_view TakeRecord(std::string_view& line, size_t length) {
  std::string_view record = line.substr(0, std::min(length, line.size()));
  line.remove_prefix(record.size());
  return record;
}

void WritePayment(db::Table& q40, const GridRow& row) {
  q40.setNumber(ycoq40::Q40_CODIGO, CellNumber(Cell(row, kPayNumber)));
  q40.setString(ycoq40::Q40_DESCR, CellLatin1(Cell(row, kPayName)));
  q40.setString(ycoq40::Q40_TIPO, FirstChar(Cell(row, kPayKind)));
  q40.setString(ycoq40::Q40_TROCO, FirstChar(Cell(row, kPayChange)));
  q40.setString(ycoq40::Q40_GAVETA, FirstChar(Cell(row, kPayDrawer)));
  q40.setString(ycoq40::Q40_CVALLE, FirstChar(Cell(row, kPayCheck)));
  q40.setNumber(ycoq40::Q40_LIMITE, CellNumber(Cell(row, kPayLimit)));
  q40.post();
}

// ---- parameters

struct ParameterRow {
  const char* left;
  const char* right;
};
constexpr ParameterRow kParameterRows[] = {
    {"GAVETA PRESENTE ?:", "BALANÇA PRESENTE ?:"},
    {"PROD.C/DÍGITO ?:", "TIPO ETQ.DE BALANÇA:"},
    {"VALOR.MAX.P/REG.:", ""},
    {"HABIL.ABERT.GAV.C/TEC.SUBTOTAL ?:", "TEF/POS:"},
    {"IMP.COMPROVANTE APOS AB.GAV. ?:", "TEF/PORTA DO PINPAD?:"},
    {"AB.GAV.APOS EMISS.DE RELATORIO ?:", "TOTAIS EM ZERO ?:"},
    {"LIMITE DE AUTENTICAÇÕES:", "ENTER=TOTAL ?:"},
    {"DESCONTO ISS?:", "LOGS Z?:"},
    {"DEPTO. ABERTO?:", "VIAS CONVÊNIO:"},
};
// Cells of the nine rows: column 1 holds the left option, column 3 the right one.
enum ParameterColumn { kLeftOption = 1, kRightOption = 3 };

// ---- discounts and surcharges

constexpr size_t kDiscountGroup = 6;
// The groups of the line in order, with the grid cell where each starts
// and the fields it is written back to.
struct DiscountGroup {
  size_t row;
  size_t column;
  db::FieldDef kind;
  db::FieldDef rate;
  db::FieldDef change;
};
const DiscountGroup kDiscountGroups[] = {
    {0, 1, ycoycf::YCF_DSTIPO, ycoycf::YCF_DSPER, ycoycf::YCF_DSALT},
    {1, 1, ycoycf::YCF_DITIPO, ycoycf::YCF_DIPER, ycoycf::YCF_DIALT},
    {0, 5, ycoycf::YCF_ASTIPO, ycoycf::YCF_ASPER, ycoycf::YCF_ASALT},
    {1, 5, ycoycf::YCF_AITIPO, ycoycf::YCF_AIPER, ycoycf::YCF_AIALT},
};

// ---- messages and store data

constexpr size_t kMessageLength = 44;
constexpr size_t kMessageText = 42;

RegisterGrid MessageGrid(std::string_view line, const char* values_header, const char* const (&labels)[4]) {
  RegisterGrid grid;
  grid.headers = {"Campos", values_header, "Expandido ?", "Centralizado ?"};
  for (const char* label : labels) grid.rows.push_back({label, "", "", ""});
  if (Vazio(line)) return grid;
  for (size_t n = 0; n < 4; ++n) {
    std::string_view record = Field(line, n * kMessageLength + 1, kMessageLength);
    GridRow& row = grid.rows[n];
    row[1] = Latin1ToUtf8(Apara(Field(record, 1, kMessageText)));
    row[2] = YesUnlessN(CharAt(record, kMessageText + 1));
    row[3] = YesUnlessN(CharAt(record, kMessageText + 2));
  }
  return grid;
}

// ---- keyboard

constexpr size_t kKeyLength = 6;
constexpr size_t kLetters = 26;
constexpr std::string_view kSecondModelKeys = "TEY_TYPE='QZV'";
enum KeyColumn { kKeyLetter, kKeyGroup, kKeyDepartment, kKeyControl, kKeyDescr, kKeyLabel, kKeyLegend, kKeyNumber,
                 kKeyButton, kKeyColumns };
// The control codes of a key bound to a PLU or group (8xx) and to a
// department (9xx).
constexpr std::string_view kPluControl = "27";
constexpr std::string_view kDepartmentControl = "28";

std::unique_ptr<db::Table> OpenSecondModelKeys(const db::Database& db) {
  auto tey = db.open(ycotey::kTable, {.tag = "Um"});
  tey->setFilter(kSecondModelKeys);
  return tey;
}

// Ycotey as a keyboard replacement edits it, seen as OpenSecondModelKeys
// sees the table.
db::Table& ReplacedSecondModelKeys(ReplacedTables& replaced) {
  db::Table& tey = replaced.copy(ycotey::kTable);
  tey.setTag("Um");
  tey.setFilter(kSecondModelKeys);
  return tey;
}

GridRow KeyRow(db::Table& tey, size_t n, std::string_view record) {
  GridRow row(kKeyColumns);
  const std::string_view control = Field(record, 1, 2);
  std::string key(control);
  std::string xx;
  if (control == kPluControl) {
    xx = Zeros2(TextoParaNumero(Field(record, 3, 2)));
    key = "8" + xx;
  } else if (control == kDepartmentControl) {
    xx = Zeros2(TextoParaNumero(Field(record, 5, 2)));
    key = "9" + xx;
  }
  const int64_t number = TextoParaInteiro(key);
  row[kKeyLetter] = n <= kLetters ? std::string(1, static_cast<char>('A' + n - 1)) : Latin1ToUtf8(key);
  if (number == 0 || !tey.findKey(static_cast<double>(number))) {
    row[kKeyDescr] = number == 0 ? kTeclaNaoProgramavel : kTeclaDesativada;
    row[kKeyGroup] = Latin1ToUtf8(key);
    return row;
  }
  row[kKeyDescr] = Latin1ToUtf8(tey.getString(ycotey::TEY_DESCR));
  row[kKeyLabel] = Latin1ToUtf8(tey.getString(ycotey::TEY_DESCRI));
  row[kKeyLegend] = Latin1ToUtf8(tey.getString(ycotey::TEY_LEGEND));
  row[kKeyNumber] = Latin1ToUtf8(key);
  row[kKeyButton] = std::to_string(n);
  row[kKeyGroup] = control == kPluControl ? xx : "00";
  row[kKeyDepartment] = control == kDepartmentControl ? xx : "00";
  row[kKeyControl] = control == kPluControl || control == kDepartmentControl ? std::string(control) : Latin1ToUtf8(key);
  return row;
}

// The key number a row stands for, from its control code.
int64_t KeyNumberOf(const GridRow& row) {
  const std::string& control = Cell(row, kKeyControl);
  if (control == kPluControl) return TextoParaInteiro("8" + Cell(row, kKeyGroup));
  if (control == kDepartmentControl) return TextoParaInteiro("9" + Cell(row, kKeyDepartment));
  return TextoParaInteiro(control);
}

// Every second-model key loses its number and position; a key another
// station holds keeps them.
void ClearKeyPositions(db::Table& tey) {
  for (tey.first(); !tey.eof(); tey.next()) {
    try {
      tey.edit();
      tey.setNumber(ycotey::TEY_NTECLA, 0);
      tey.setNumber(ycotey::TEY_BOTON, 0);
      tey.post();
    } catch (const db::Error&) {
      if (tey.mode() != db::Mode::kBrowse) tey.cancel();
    }
  }
}

}  // namespace

// ---- payment types

RegisterGrid DecodePaymentConfig(std::string_view names, std::string_view configs) {
  RegisterGrid grid = PaymentGrid();
  while (!Vazio(names)) {
    GridRow& row = grid.rows.emplace_back(kPayColumns);
    row[kPayName] = Latin1ToUtf8(TakeRecord(names, kNameLength));
  }
  for (size_t n = 1; !Vazio(configs); ++n) {
    std::string_view config = TakeRecord(configs, kConfigLength);
    if (n <= grid.rows.size()) FillPayment(grid.rows[n - 1], n, config);
  }
  return grid;
}

RegisterGrid DecodePayments(std::string_view names, std::string_view configs) {
  RegisterGrid grid = PaymentGrid();
  for (size_t n = 1; !Vazio(names); ++n) {
    GridRow& row = grid.rows.emplace_back(kPayColumns);
    std::string_view name = TakeRecord(names, kNameLength);
    std::string_view config = TakeRecord(configs, kConfigLength);
    if (config.empty()) {
      // Past the end of the configurations the row keeps only its number.
      row[kPayNumber] = Zeros2(static_cast<double>(n));
    } else {
      FillPayment(row, n, config);
    }
    row[kPayName] = Vazio(name) ? std::string(kFinalizadoraNaoDefinida) : Latin1ToUtf8(name);
  }
  return grid;
}

RegisterGrid DisplayPaymentConfig(const std::filesystem::path& finaliz, const std::filesystem::path& cfgfinal) {
  ScopedProgress progress(kProcessandoRecebidos);
  return DecodePaymentConfig(ReadFirstLine(finaliz), ReadFirstLine(cfgfinal));
}

RegisterGrid DisplayPayments(const std::filesystem::path& finaliz, const std::filesystem::path& cfgfinal) {
  ScopedProgress progress(kProcessandoRecebidos);
  return DecodePayments(ReadFirstLine(finaliz), ReadFirstLine(cfgfinal));
}

ReplaceOutcome ReplacePaymentConfig(const db::Database& db, const RegisterGrid& grid) {
  db::Table* q40 = nullptr;
  return ReplaceRows(
      db, {std::string(ycoq40::kTable)}, grid, kErroIncluirExclamacao,
      [&](ReplacedTables& replaced) {
        q40 = &replaced.copy(ycoq40::kTable);
        q40->setTag("Um");
      },
      [&](const GridRow& row) {
        if (q40->findKey(CellNumber(Cell(row, kPayNumber))))
          q40->edit();
        else
          q40->append();
        WritePayment(*q40, row);
      });
}

ReplaceOutcome ReplacePayments(const db::Database& db, const RegisterGrid& grid) {
  RegisterGrid defined;
  for (const GridRow& row : grid.rows)
    if (Cell(row, kPayName) != kFinalizadoraNaoDefinida) defined.rows.push_back(row);
  db::Table* q40 = nullptr;
  return ReplaceRows(
      db, {std::string(ycoq40::kTable)}, defined, kErroIncluirExclamacao,
      [&](ReplacedTables& replaced) { q40 = &replaced.empty(ycoq40::kTable); },
      [&](const GridRow& row) {
        q40->append();
        WritePayment(*q40, row);
      },
      kProcessandoAtuais);
}

// ---- parameters

RegisterGrid DecodeParameters(std::string_view perif, std::string_view codbarra, std::string_view flags) {
  RegisterGrid grid;
  grid.headers = {"Parâmetros Diversos", "Opção", "Periféricos", "Opção"};
  grid.label_columns = {2};
  for (const ParameterRow& r : kParameterRows) grid.rows.push_back({r.left, "", r.right, ""});
  auto set = [&](size_t row, std::string left, std::string right) {
    grid.rows[row][kLeftOption] = std::move(left);
    grid.rows[row][kRightOption] = std::move(right);
  };
  set(0, NoOrAsIs(CharAt(perif, 3)), YesUnlessN(CharAt(perif, 1)));
  const std::string_view digit = CharAt(codbarra, 2);
  const std::string_view label = CharAt(codbarra, 1);
  set(1, digit.empty() ? "" : (digit == "S" ? "SIM" : "NÃO"), label.empty() ? "" : (label == "P" ? "PESO" : "VALOR"));
  const std::string_view max = Field(codbarra, 3, 7);
  grid.rows[2][kLeftOption] = max.empty() ? "" : Grouped(TextoParaNumero(RemoveTexto(max, " ")));
  set(3, YesUnlessN(CharAt(flags, 3)), YesUnlessN(CharAt(perif, 2)));
  set(4, YesUnlessN(CharAt(flags, 4)), NoOrAsIs(CharAt(perif, 4)));
  set(5, YesUnlessN(CharAt(flags, 5)), YesUnlessN(CharAt(flags, 1)));
  set(6, Latin1ToUtf8(CharAt(flags, 9)), YesUnlessN(CharAt(flags, 2)));
  set(7, YesUnlessN(CharAt(flags, 6)), YesUnlessN(CharAt(flags, 8)));
  set(8, YesUnlessN(CharAt(flags, 7)), Latin1ToUtf8(CharAt(flags, 10)));
  return grid;
}

RegisterGrid DisplayParameters(const std::filesystem::path& perif, const std::filesystem::path& codbarra,
                               const std::filesystem::path& flags) {
  ScopedProgress progress(kProcessandoRecebidos);
  return DecodeParameters(ReadFirstLine(perif), ReadFirstLine(codbarra), ReadFirstLine(flags));
}

ReplaceOutcome ReplaceParameters(const db::Database& db, const RegisterGrid& grid) {
  auto left = [&](size_t row) -> const std::string& { return Cell(RowAt(grid, row), kLeftOption); };
  auto right = [&](size_t row) -> const std::string& { return Cell(RowAt(grid, row), kRightOption); };
  return WriteConfiguration(db, {std::string(ycoprm::kTable), std::string(ycoycf::kTable)}, kSubstituicaoCompleta,
                            [&](ReplacedTables& replaced) {
    db::Table* ycf = &replaced.copy(ycoycf::kTable);
    db::Table* prm = &replaced.copy(ycoprm::kTable);
    EditSingleRow(*ycf);
    EditSingleRow(*prm);
    ycf->setString(ycoycf::YCF_BALETQ, FirstChar(right(1)));
    prm->setString(ycoprm::Q40_DIGCON, FirstChar(left(1)));
    prm->setNumber(ycoprm::Q40_MAXREG, GroupedNumber(left(2)));
    ycf->setString(ycoycf::YCF_BALANC, FirstChar(right(0)));
    ycf->setString(ycoycf::YCF_TEF, FirstChar(right(3)));
    ycf->setString(ycoycf::YCF_GAVPRE, CellLatin1(FirstChar(left(0))));
    ycf->setString(ycoycf::YCF_PCCOM5, CellLatin1(FirstChar(right(4))));
    prm->setString(ycoprm::Q40_ZERO, FirstChar(right(5)));
    prm->setString(ycoprm::Q40_ENTER, FirstChar(right(6)));
    ycf->setString(ycoycf::YCF_GAVABR, FirstChar(left(3)));
    ycf->setString(ycoycf::YCF_GAVIMP, FirstChar(left(4)));
    ycf->setString(ycoycf::YCF_GAVREL, FirstChar(left(5)));
    prm->setString(ycoprm::Q40_LIMAUT, CellLatin1(left(6)));
    prm->setString(ycoprm::Q40_DESCIS, FirstChar(left(7)));
    prm->setString(ycoprm::Q40_DEPAB, FirstChar(left(8)));
    prm->setString(ycoprm::Q40_LOGZ, FirstChar(right(7)));
    prm->setString(ycoprm::Q40_VIASC, CellLatin1(right(8)));
    prm->post();
    ycf->post();
  });
}

// ---- discounts and surcharges

RegisterGrid DecodeDiscounts(std::string_view descacr) {
  RegisterGrid grid;
  grid.headers = {"Descontos",  "Tipo", "Porc.%", "Permite Alt. Porc.%?",
                  "Acréscimos", "Tipo", "Porc.%", "Permite Alt. Porc.%?"};
  grid.rows = {{"SUBTOTAL:", "", "", "", "SUBTOTAL:", "", "", ""}, {"ÍTEM:", "", "", "", "ÍTEM:", "", "", ""}};
  grid.label_columns = {4};
  if (Vazio(descacr)) return grid;
  for (size_t g = 0; g < std::size(kDiscountGroups); ++g) {
    std::string_view group = Field(descacr, g * kDiscountGroup + 1, kDiscountGroup);
    GridRow& row = grid.rows[kDiscountGroups[g].row];
    const size_t c = kDiscountGroups[g].column;
    row[c] = CharAt(group, 1) == "P" ? "PORCENTAGEM" : "VALOR";
    row[c + 1] = FormataMascara("##,##", TextoParaNumero(Field(group, 2, 4)));
    row[c + 2] = SimNaoOf(CharAt(group, 6));
  }
  return grid;
}

RegisterGrid DisplayDiscounts(const std::filesystem::path& descacr) { return DisplayLine(descacr, DecodeDiscounts); }

ReplaceOutcome ReplaceDiscounts(const db::Database& db, const RegisterGrid& grid) {
  return WriteConfiguration(db, {std::string(ycoycf::kTable)}, kSubstituicaoCompleta, [&](ReplacedTables& replaced) {
    db::Table* ycf = &replaced.copy(ycoycf::kTable);
    EditSingleRow(*ycf);
    for (const DiscountGroup& g : kDiscountGroups) {
      const GridRow& row = RowAt(grid, g.row);
      ycf->setString(g.kind, FirstChar(Cell(row, g.column)));
      ycf->setNumber(g.rate, CellNumber(Cell(row, g.column + 1)));
      ycf->setString(g.change, FirstChar(Cell(row, g.column + 2)));
    }
    ycf->post();
  });
}

// ---- sale message and store data

RegisterGrid DecodeSaleMessage(std::string_view footer) {
  static const char* const kLabels[4] = {"CAMPO [1]:", "CAMPO [2]:", "CAMPO [3]:", "CAMPO [4]:"};
  return MessageGrid(footer, "Mensagem", kLabels);
}

RegisterGrid DisplaySaleMessage(const std::filesystem::path& footer) { return DisplayLine(footer, DecodeSaleMessage); }

ReplaceOutcome ReplaceSaleMessage(const db::Database& db, const RegisterGrid& grid) {
  static const db::FieldDef kText[4] = {ycoycf::YCF_MSG1, ycoycf::YCF_MSG2, ycoycf::YCF_MSG3, ycoycf::YCF_MSG4};
  static const db::FieldDef kExpanded[4] = {ycoycf::YCF_EXPA1, ycoycf::YCF_EXPA2, ycoycf::YCF_EXPA3,
                                            ycoycf::YCF_EXPA4};
  static const db::FieldDef kCentred[4] = {ycoycf::YCF_CAMCEN, ycoycf::YCF_CAMCE1, ycoycf::YCF_CAMCE2,
                                           ycoycf::YCF_CAMCE3};
  return WriteConfiguration(db, {std::string(ycoycf::kTable)}, kSubstituicaoCompletaMensagem,
                            [&](ReplacedTables& replaced) {
    db::Table* ycf = &replaced.copy(ycoycf::kTable);
    EditSingleRow(*ycf);
    for (size_t n = 0; n < 4; ++n) {
      const GridRow& row = RowAt(grid, n);
      ycf->setString(kText[n], CellLatin1(Cell(row, 1)));
      ycf->setString(kExpanded[n], Cell(row, 2) == "SIM" ? "S" : "N");
      ycf->setString(kCentred[n], Cell(row, 3) == "SIM" ? "S" : "N");
    }
    ycf->post();
  });
}

RegisterGrid DecodeStoreData(std::string_view header) {
  static const char* const kLabels[4] = {"RAZÃO SOCIAL:", "ENDEREÇO:", "ADICIONAL [1]:", "ADICIONAL [2]:"};
  return MessageGrid(header, "Valores", kLabels);
}

RegisterGrid DisplayStoreData(const std::filesystem::path& header) { return DisplayLine(header, DecodeStoreData); }

// ---- date and time

RegisterGrid DecodeDateTime(std::string_view datahora) {
  RegisterGrid grid;
  grid.headers = {"Data", "Horário"};
  GridRow& row = grid.rows.emplace_back(2);
  if (Vazio(datahora)) return grid;
  row[0] = FormataMascara("##/##/####", TextoParaNumero(Field(datahora, 1, 8)));
  row[1] = HourMinute(TextoParaNumero(Field(datahora, 9, 12)));
  return grid;
}

RegisterGrid DisplayDateTime(const std::filesystem::path& datahora) { return DecodeDateTime(ReadFirstLine(datahora)); }

// ---- keyboard

RegisterGrid DecodeKeyboard(const db::Database& db, std::string_view teclado) {
  RegisterGrid grid;
  grid.headers = {"Letra",      "Grupo/PLU", "Depto", "Cod.Control.", "Descrição Completa", "Descrição da Etiqueta",
                  "Legenda",    "Num.Tecla", "Botão"};
  auto tey = OpenSecondModelKeys(db);
  for (size_t n = 1; !Vazio(teclado); ++n) grid.rows.push_back(KeyRow(*tey, n, TakeRecord(teclado, kKeyLength)));
  return grid;
}

RegisterGrid DisplayKeyboard(const db::Database& db, const std::filesystem::path& teclado) {
  return DisplayLine(teclado, [&](std::string_view line) { return DecodeKeyboard(db, line); });
}

ReplaceOutcome ReplaceKeyboard(const db::Database& db, const RegisterGrid& grid) {
  ReplaceOutcome outcome;
  ScopedProgress progress(kProcessandoAtuais);
  try {
    ReplacedTables replaced(db, {std::string(ycotey::kTable)});
    db::Table* tey = &ReplacedSecondModelKeys(replaced);
    ClearKeyPositions(*tey);
    for (size_t n = 1; n <= grid.rows.size(); ++n) {
      const int64_t key = KeyNumberOf(grid.rows[n - 1]);
      if (!tey->findKey(static_cast<double>(key))) continue;
      tey->edit();
      tey->setNumber(ycotey::TEY_NTECLA, static_cast<double>(key));
      tey->setNumber(ycotey::TEY_BOTON, static_cast<double>(n));
      tey->post();
      ++outcome.rows_written;
    }
    outcome.backup = replaced.finish();
  } catch (const db::Error& e) {
    // Staged, the keys stay as they were; edited in place, as far as written.
    progress.close();
    outcome.message = kErroIncluirExclamacao;
    outcome.detail = e.what();
    return outcome;
  }
  progress.close();
  outcome.completed = true;
  outcome.message = kSubstituicaoCompleta;
  return outcome;
}

}  // namespace kaslo::viewers
