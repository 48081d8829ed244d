// `kaslo export` and `kaslo import` run as a user runs them on a demo store
// made by `kaslo init --demo` (check digits on); the tables are read back
// through the engine. The file layouts themselves are the core's tests: here
// the kinds, flags, question, messages, exit statuses and progress line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cli/command_test_support.h"
#include "common/text.h"
#include "db/backup.h"
#include "db/database.h"
#include "db/field.h"
#include "db/stock_testing.h"
#include "db/table_ops.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"

namespace kaslo::cli {
namespace {

using namespace kaslo::cli::testing;

const char kExportQuestion[] = "Confirma efetuar Exportação de Produtos ?";
const char kImportQuestion[] = "Confirma efetuar Importação de Produtos ?";
const char kNlufileWritten[] = "NLUFILE.MTR criado com sucesso !";
const char kNlufileRead[] = "Importação do arquivo NLUFILE.MTR concluída !";

// What a product keeps through NLUFILE.MTR: the description as cut to the
// file's 22 characters, the price to hundredths.
struct Product {
  long long code;
  std::string descr, resum;
  int tribut, depto;
  double price;
  std::string pesad, litrad;
};

class InterchangeCommand : public KasloCommand {
 protected:
  void SetUp() override {
    KasloCommand::SetUp();
    Result init = Init(" --demo");
    ASSERT_EQ(init.exit_code, 0) << init.err;
  }
  Result Export(const std::string& args) { return Run("export " + DataArg() + " " + args); }
  Result Import(const std::string& args) { return Run("import " + DataArg() + " " + args); }
  void Write(const std::string& name, const std::string& bytes) {
    std::ofstream(Data() / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) { return Slurp(Data() / name); }

  std::vector<Product> Products() {
    db::Database database(Data());
    auto t = database.open(ycopro::kTable, {.tag = "Um"});
    std::vector<Product> products;
    for (t->first(); !t->eof(); t->next()) {
      products.push_back({static_cast<long long>(t->asNumber(ycopro::PRO_PLU)),
                          t->getString(ycopro::PRO_DESCR), t->getString(ycopro::PRO_RESUM),
                          static_cast<int>(t->asInteger(ycopro::PRO_TRIBUT)),
                          static_cast<int>(t->asInteger(ycopro::PRO_DEPTO)), t->asNumber(ycopro::PRO_PCOVEN),
                          t->getString(ycopro::PRO_PESAD), t->getString(ycopro::PRO_LITRAD)});
    }
    return products;
  }
  size_t Rows(std::string_view table) { return db::Database(Data()).open(table)->recordCount(); }
  // The printed line that names the newest backup of the operation.
  std::string BackupLine(std::string_view operation) {
    const std::vector<db::BackupInfo> backups = db::ListBackups(db::Database(Data()));
    for (auto it = backups.rbegin(); it != backups.rend(); ++it) {
      if (it->operation == operation) return db::BackupLine(it->name) + "\n";
    }
    return "no backup of " + std::string(operation);
  }
  db::FieldInfo StockField() { return db::testing::StockField(db::Database(Data())); }
  // An older product table whose stock field is N(8,2).
  void NarrowStock() {
    const std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
    const db::FieldDef narrow[] = {db::Num(ycopro::PRO_ESTQ.name, 8, 2)};
    db::Restructure(db::Database(Data()), ycopro::kTable, drop, narrow);
  }
};

size_t CountLines(const std::string& text) {
  size_t n = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
  return n;
}

// The description as the file cuts it: 22 characters, trailing blanks gone.
std::string Cut22(const std::string& s) {
  std::string cut = s.substr(0, 22);
  return cut.erase(cut.find_last_not_of(' ') + 1);
}

const Product* Find(const std::vector<Product>& products, long long code) {
  for (const Product& p : products)
    if (p.code == code) return &p;
  return nullptr;
}

TEST_F(InterchangeCommand, UsageErrorsDoNothing) {
  for (const char* args : {"opticash --yes", "nlu --yes", "NLUFILE --yes", "--yes", "nlufile --yes --colour"})
    EXPECT_EQ(Export(args).exit_code, 2) << args;
  for (const char* args : {"nlufiles --yes", "", "opticash --yes extra"})
    EXPECT_EQ(Import(args).exit_code, 2) << args;
  EXPECT_FALSE(fs::exists(Data() / "NLUFILE.MTR"));
  EXPECT_EQ(Rows(ycopro::kTable), 42u);

  Result help = Run("import --help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("opticash"), std::string::npos) << help.out;

  fs::create_directories(scratch_.path() / "vazio");
  Result no_tables = Run("export " + Quoted((scratch_.path() / "vazio").string()) + " nlufile --yes");
  EXPECT_EQ(no_tables.exit_code, 1);
  EXPECT_NE(no_tables.err.find("no tables"), std::string::npos) << no_tables.err;
}

// Without --yes a script is answered no: no file, no table touched, not even
// the stock conversion that would run before the operation.
TEST_F(InterchangeCommand, NoTerminalAnswersNoBeforeAnythingIsDone) {
  NarrowStock();
  Write("NLUFILE.MTR", "789100000001,ARROZ,ARROZ,1,1,00000100,U,N\r\n");
  const size_t bar_codes = Rows(ycobar::kTable);

  Result exported = Export("nlufile");
  EXPECT_EQ(exported.exit_code, 3) << exported.err;
  EXPECT_NE(exported.out.find(std::string(kExportQuestion) + " [s/N] \n"), std::string::npos) << exported.out;
  Result imported = Import("nlufile");
  EXPECT_EQ(imported.exit_code, 3) << imported.err;
  EXPECT_NE(imported.out.find(std::string(kImportQuestion) + " [s/N] \n"), std::string::npos) << imported.out;

  EXPECT_EQ(Read("NLUFILE.MTR"), "789100000001,ARROZ,ARROZ,1,1,00000100,U,N\r\n");
  EXPECT_EQ(Rows(ycopro::kTable), 42u);
  EXPECT_EQ(Rows(ycobar::kTable), bar_codes);
  EXPECT_EQ(StockField().length, 8);
}

TEST_F(InterchangeCommand, TheQuestionOnATerminal) {
  const std::vector<std::string> args{"export", Data().string(), "nlufile"};
  TerminalRun enter = OnTerminal(args, "\n");
  EXPECT_EQ(enter.exit_code, 3) << enter.screen;
  EXPECT_NE(enter.screen.find(kExportQuestion), std::string::npos) << enter.screen;
  EXPECT_FALSE(fs::exists(Data() / "NLUFILE.MTR"));

  // The gauge shows on the terminal and its line is ended before the message.
  TerminalRun yes = OnTerminal(args, "s\n");
  EXPECT_EQ(yes.exit_code, 0) << yes.screen;
  EXPECT_NE(yes.screen.find("100%\r\n"), std::string::npos) << yes.screen;
  EXPECT_NE(yes.screen.find(kNlufileWritten), std::string::npos) << yes.screen;
  EXPECT_TRUE(fs::exists(Data() / "NLUFILE.MTR"));
}

TEST_F(InterchangeCommand, ExportOfEveryProduct) {
  Result r = Export("nlufile --yes");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find(std::string(kExportQuestion) + " s\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string(kNlufileWritten) + "\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "") << "no progress line off a terminal";

  const std::string file = Read("NLUFILE.MTR");
  EXPECT_EQ(CountLines(file), 42u);
  // Check digits are on in the demo store: the code goes without its last digit.
  EXPECT_NE(file.find("789100000001,ARROZ AGULHINHA TIPO 1,ARROZ T1 5KG        ,1,1,00002490,U,N\r\n"),
            std::string::npos)
      << file;
}

// The queue of the demo store is empty: no file, and an older one is gone.
TEST_F(InterchangeCommand, ExportOfAnEmptyQueueFails) {
  Write("NLUMNT.MTR", "0101,3,789100000001\r\n");
  Result r = Export("nlumnt --yes");
  EXPECT_EQ(r.exit_code, 1) << r.out;
  EXPECT_NE(r.err.find("Ycoy60, arquivo de produtos alterados esta vazio ![w]\n"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("criado"), std::string::npos) << r.out;
  EXPECT_FALSE(fs::exists(Data() / "NLUMNT.MTR"));
}

TEST_F(InterchangeCommand, ImportOfAMissingFileChangesNothing) {
  Result nlufile = Import("nlufile --yes");
  EXPECT_EQ(nlufile.exit_code, 1) << nlufile.out;
  EXPECT_NE(nlufile.err.find("Arquivo NLUFILE.MTR não encontrado !\n"), std::string::npos) << nlufile.err;
  Result opticash = Import("opticash --yes");
  EXPECT_EQ(opticash.exit_code, 1) << opticash.out;
  EXPECT_NE(opticash.err.find("Arquivo OPTICASH.TXT não encontrado !\n"), std::string::npos) << opticash.err;
  EXPECT_EQ(Rows(ycopro::kTable), 42u);
  EXPECT_GT(Rows(ycobar::kTable), 0u);
}

// Export, then import the same file: every product comes back with what the
// file carries, the bar codes and the queue are emptied, and a second export
// writes the same bytes.
TEST_F(InterchangeCommand, RoundTripOfEveryProduct) {
  const std::vector<Product> before = Products();
  ASSERT_EQ(before.size(), 42u);
  ASSERT_EQ(Export("nlufile --yes").exit_code, 0);
  const std::string file = Read("NLUFILE.MTR");

  Result r = Import("nlufile --yes");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find(std::string(kImportQuestion) + " s\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string(kNlufileRead) + "\n" + BackupLine("importacao-completa")), std::string::npos)
      << r.out;

  const std::vector<Product> after = Products();
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    const Product& b = before[i];
    const Product& a = after[i];
    EXPECT_EQ(a.code, b.code);
    EXPECT_EQ(a.descr, Cut22(b.descr)) << b.code;
    EXPECT_EQ(a.resum, b.resum) << b.code;
    EXPECT_EQ(a.tribut, b.tribut) << b.code;
    EXPECT_EQ(a.depto, b.depto) << b.code;
    EXPECT_LT(std::abs(a.price - b.price), 0.01) << b.code;
    EXPECT_EQ(a.pesad, b.pesad) << b.code;
    EXPECT_EQ(a.litrad, b.litrad) << b.code;
  }
  EXPECT_EQ(Rows(ycobar::kTable), 0u);
  EXPECT_EQ(Rows(ycoy60::kTable), 0u);

  ASSERT_EQ(Export("nlufile --yes").exit_code, 0);
  EXPECT_EQ(Read("NLUFILE.MTR"), file);
}

// A change line read through the queue and written out again.
TEST_F(InterchangeCommand, ChangedProductsThroughTheQueue) {
  const std::string change = "3,789100000001," + CompletaDireita("ARROZ NOVO", 22) + "," + CompletaDireita("ARROZ NOVO", 20) + ",1,1,00002590";
  Write("NLUMNT.MTR", "0101," + change + "\r\n");
  Result imported = Import("nlumnt --yes");
  ASSERT_EQ(imported.exit_code, 0) << imported.err;
  EXPECT_NE(imported.out.find("Importação do arquivo NLUMNT.MTR concluída ![w]\n" + BackupLine("importacao-nlumnt")),
            std::string::npos)
      << imported.out;
  EXPECT_EQ(Rows(ycopro::kTable), 42u);
  const std::vector<Product> products = Products();
  const Product* rice = Find(products, 7891000000014);
  ASSERT_NE(rice, nullptr);
  EXPECT_EQ(rice->descr, "ARROZ NOVO");
  EXPECT_DOUBLE_EQ(rice->price, 25.90);

  fs::remove(Data() / "NLUMNT.MTR");
  Result exported = Export("nlumnt --yes");
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  EXPECT_NE(exported.out.find("NLUMNT.MTR criado com sucesso ![w]\n"), std::string::npos) << exported.out;
  const std::string file = Read("NLUMNT.MTR");
  ASSERT_EQ(file.size(), 5 + change.size() + 2) << file;
  EXPECT_EQ(file.substr(5), change + "\r\n");  // after today's "mmdd,"
}

TEST_F(InterchangeCommand, ConvertReadsTheTaxFileAndIsIgnoredForOpticash) {
  Write("NLUFILE.MTR", "older\r\n");
  Result missing = Export("nlufile --convert --yes");
  EXPECT_EQ(missing.exit_code, 1) << missing.out;
  EXPECT_NE(missing.err.find("Q5200.CVS, arquivo para conversão de alíquotas não encontrado ![w]"),
            std::string::npos)
      << missing.err;
  EXPECT_EQ(Read("NLUFILE.MTR"), "older\r\n");

  std::string slots;
  for (int k = 1; k <= 16; ++k) slots += (k < 10 ? "0" : "") + std::to_string(k) + "\r\n";
  Write("q5200.cvs", slots);
  Result converted = Export("nlufile --convert --yes");
  ASSERT_EQ(converted.exit_code, 0) << converted.err;
  EXPECT_NE(converted.out.find("NLUFILE.MTR criado com sucesso ![w]\n"), std::string::npos) << converted.out;
  EXPECT_NE(Read("NLUFILE.MTR").find("789100000001,ARROZ AGULHINHA TIPO 1,ARROZ T1 5KG        ,01,1,00002490\r\n"),
            std::string::npos);

  // OPTICASH.TXT never converts, so no tax file is needed.
  fs::remove(Data() / "q5200.cvs");
  Write("OPTICASH.TXT", "cab\tdescricao\tcodigo\r\n1\tPAO FRANCES\t000789\t1\t1250\t\t\t\t\t0\r\n");
  Result opticash = Import("opticash --convert --yes");
  ASSERT_EQ(opticash.exit_code, 0) << opticash.err;
  EXPECT_NE(opticash.out.find("Importação do arquivo OPTICASH.TXT concluída !\n" + BackupLine("importacao-completa")),
            std::string::npos)
      << opticash.out;
  const std::vector<Product> products = Products();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(products[0].code, 7894);
  EXPECT_EQ(products[0].descr, "PAO FRANCES");
}

// An older stock field is converted before the operation, as the menu does
// before it opens the window.
TEST_F(InterchangeCommand, AnOlderStockFieldIsConvertedFirst) {
  NarrowStock();
  ASSERT_EQ(StockField().length, 8);
  Result r = Export("nlufile --yes");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(StockField().length, 10);
  EXPECT_EQ(StockField().decimals, 3);
  EXPECT_EQ(CountLines(Read("NLUFILE.MTR")), 42u);
}

// A product table another program holds: the window's box, its two lines
// one a line on stderr, and every table as it was.
TEST_F(InterchangeCommand, ProductsInUseElsewhere) {
  ASSERT_EQ(Export("nlufile --yes").exit_code, 0);
  db::Database database(Data());
  auto held = database.open(ycopro::kTable);
  Result r = Import("nlufile --yes");
  EXPECT_EQ(r.exit_code, 1) << r.out;
  EXPECT_NE(r.err.find("Arquivo de produtos não disponível !\nCertifique-se de que nenhuma outra estacão esteja "
                       "utilizando o sistema Pelda Roza ®.\n"),
            std::string::npos)
      << r.err;
  held->refresh();
  EXPECT_EQ(held->recordCount(), 42u);
}

}  // namespace
}  // namespace kaslo::cli
