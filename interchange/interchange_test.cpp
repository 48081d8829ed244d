// The product files over real tables in a data directory made by the
// installation code: whole files compared byte for byte, round trips, the
// imports' replacement of the tables and the messages of every refusal.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/clock.h"
#include "common/testing/scripted_messages.h"
#include "db/backup.h"
#include "db/table_ops.h"
#include "db/table_swap.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"
#include "db/temp_data_dir.h"
#include "interchange/interchange.h"
#include "interchange/product_lines.h"

namespace kaslo::interchange {
namespace {

namespace fs = std::filesystem;

class SilentGauge final : public Gauge {
 public:
  void start(int64_t maximum) override {
    maximum_ = maximum;
    shown_ = true;
  }
  void move(int64_t position) override { last_ = position; }
  void stop() override { shown_ = false; }
  int64_t maximum_ = -1, last_ = 0;
  bool shown_ = false;
};

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct Product {
  double code;
  std::string descr, resum;
  double tax = 1, dept = 1, price = 0;
  std::string pesad = "N", litrad = "N";
};

// The backup folder an import names on its last line, at the fixture's time.
std::string FullBackup(const std::string& suffix = "") {
  return "\rCópia de segurança: backup/20261209-193000-importacao-completa" + suffix;
}

class Interchange : public ::testing::Test {
 protected:
  Interchange() { SetFixedNow(DateTime{std::chrono::year{2026} / 12 / 9, 19, 30, 0}); }
  ~Interchange() override { SetFixedNow(std::nullopt); }

  const db::Database& Db() const { return dir_.db(); }
  fs::path File(const std::string& name) const { return dir_.path() / name; }

  void SetCheckDigit(bool on) {
    auto prm = Db().open(ycoprm::kTable);
    prm->first();
    prm->edit();
    prm->setString(ycoprm::Q40_DIGCON, on ? "S" : "N");
    prm->post();
  }
  void ReplaceProducts(const std::vector<Product>& products) {
    auto pro = Db().open(ycopro::kTable, {.tag = "", .exclusive = true});
    pro->emptyTable();
    for (const Product& p : products) {
      pro->append();
      pro->setNumber(ycopro::PRO_PLU, p.code);
      pro->setString(ycopro::PRO_DESCR, p.descr);
      pro->setString(ycopro::PRO_RESUM, p.resum);
      pro->setNumber(ycopro::PRO_TRIBUT, p.tax);
      pro->setNumber(ycopro::PRO_DEPTO, p.dept);
      pro->setNumber(ycopro::PRO_PCOVEN, p.price);
      pro->setString(ycopro::PRO_PESAD, p.pesad);
      pro->setString(ycopro::PRO_LITRAD, p.litrad);
      pro->post();
    }
  }
  void QueueRow(double key, const std::string& descr, const std::string& status = "3") {
    auto y60 = Db().open(ycoy60::kTable);
    y60->append();
    y60->setNumber(ycoy60::Y60_PROPLU, key);
    y60->setString(ycoy60::Y60_DESCR, descr);
    y60->setString(ycoy60::Y60_RESUM, descr.substr(0, 20));
    y60->setNumber(ycoy60::Y60_TRIBUT, 2);
    y60->setNumber(ycoy60::Y60_DEPTO, 3);
    y60->setNumber(ycoy60::Y60_PCOVEN, 7.5);
    y60->setString(ycoy60::Y60_DATA, "1208");
    y60->setString(ycoy60::Y60_STATUS, status);
    y60->post();
  }
  size_t Rows(std::string_view table) const { return Db().open(table)->recordCount(); }

  Outcome Go(Direction d, Scope s, bool convert = false, Source source = Source::kNlufile) {
    return interchange::Run(Db(), {.direction = d, .scope = s, .source = source, .convert = convert}, gauge_);
  }
  Outcome Export(Scope s, bool convert = false) { return Go(Direction::kExport, s, convert); }
  Outcome Import(Scope s, bool convert = false) { return Go(Direction::kImport, s, convert); }
  Outcome ImportOpticash() { return Go(Direction::kImport, Scope::kAll, false, Source::kOpticash); }

  // The product with that code, or nullptr.
  std::unique_ptr<db::Table> Find(double code) const {
    auto pro = Db().open(ycopro::kTable, {.tag = "Um", .exclusive = false});
    return pro->findKey(code) ? std::move(pro) : nullptr;
  }

  db::testing::TempDataDir dir_{{.demo = true}};
  kaslo::testing::RecordingProgress progress_;
  SilentGauge gauge_;
};

TEST_F(Interchange, NlufileExportWritesTheFullLayoutByteForByte) {
  ReplaceProducts({
      {7891000000014, "ARROZ AGULHINHA TIPO 1 5KG", "ARROZ T1 5KG", 1, 1, 24.9},
      {7891000000021, "SAL", "SAL", 12, 3, 0.29, "S", "N"},
      {7891000000038, "OLEO \xC0 GRANEL", "OLEO", 2, 10, 12.345, "L", "S"},
  });
  Outcome o = Export(Scope::kAll);
  EXPECT_TRUE(o.done);
  EXPECT_EQ(o.message, "NLUFILE.MTR criado com sucesso !");
  EXPECT_EQ(Read(File("NLUFILE.MTR")),
            "789100000001,ARROZ AGULHINHA TIPO 1,ARROZ T1 5KG        ,1,1,00002490,U,N\r\n"
            "789100000002,SAL                   ,SAL                 ,12,3,00000029,K,N\r\n"
            "789100000003,OLEO \xC0 GRANEL         ,OLEO                ,2,10,00001235,L,S\r\n");
  EXPECT_EQ(gauge_.maximum_, 3);
  EXPECT_EQ(gauge_.last_, 3);
  EXPECT_FALSE(gauge_.shown_);
  EXPECT_TRUE(progress_.Saw("Aguarde, processando banco de dados..."));
  EXPECT_FALSE(progress_.visible());
  EXPECT_FALSE(fs::exists(File("NLUFILE.MTR.tmp")));
  EXPECT_FALSE(fs::exists(File(db::kBackupFolder)));  // an export changes no table

  // Without check digits the code is written whole.
  SetCheckDigit(false);
  ReplaceProducts({{789, "X", "X"}});
  ASSERT_TRUE(Export(Scope::kAll).done);
  EXPECT_EQ(Read(File("NLUFILE.MTR")), "000000000789,X                     ,X                   ,1,1,00000000,U,N\r\n");
}

TEST_F(Interchange, NlufileRoundTripKeepsWhatTheFileCarries) {
  ReplaceProducts({
      {7891000000014, "ARROZ AGULHINHA TIPO 1 5KG", "ARROZ T1 5KG", 1, 1, 24.9},
      {7891000000021, "SAL, GROSSO", "SAL", 12, 3, 0.29, "S", "N"},
      {7891000000038, "OLEO", "OLEO", 2, 2, 12.5, "C", "S"},
      {7891000000045, "FIO", "FIO", 2, 2, 1, "M", "N"},
      {7891000000052, "CAIXA", "CAIXA", 2, 2, 1, "O", "N"},
      {7891000000069, "OUTRO", "OUTRO", 2, 2, 1, "X", "N"},
  });
  ASSERT_TRUE(Export(Scope::kAll).done);
  QueueRow(789100000001, "ARROZ");

  Outcome o = Import(Scope::kAll);
  EXPECT_TRUE(o.done);
  EXPECT_EQ(o.message, "Importação do arquivo NLUFILE.MTR concluída !" + FullBackup());
  EXPECT_EQ(o.lines_written, 6u);
  EXPECT_EQ(Rows(ycopro::kTable), 6u);
  EXPECT_EQ(Rows("Ycobar"), 0u);
  EXPECT_EQ(Rows(ycoy60::kTable), 0u);
  EXPECT_FALSE(fs::exists(File(db::TableSwap::kFolder)));

  auto p = Find(7891000000014);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_DESCR), "ARROZ AGULHINHA TIPO 1");  // cut to 22
  EXPECT_EQ(p->getString(ycopro::PRO_RESUM), "ARROZ T1 5KG");
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 24.9);
  EXPECT_EQ(p->getString(ycopro::PRO_PESAD), "N");
  EXPECT_EQ(p->getString(ycopro::PRO_CASAD), "2");
  EXPECT_EQ(p->getString(ycopro::PRO_GRPITE), "0");
  EXPECT_EQ(p->getString(ycopro::PRO_PROMO), "N");
  EXPECT_EQ(p->getString(ycopro::PRO_FLAGAL), "");
  EXPECT_EQ(p->getNumber(ycopro::PRO_ESTQ), 0.0);
  EXPECT_EQ(p->getNumber(ycopro::PRO_TRB1), 0.0);
  EXPECT_EQ(p->getLogical(ycopro::PRO_QZVRES), true);
  EXPECT_EQ(p->asNumber(ycopro::PRO_GRUPO), 1);

  p = Find(7891000000021);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_DESCR), "SAL, GROSSO");  // the comma does not shift the fields
  EXPECT_EQ(p->asNumber(ycopro::PRO_TRIBUT), 12);
  EXPECT_EQ(p->asNumber(ycopro::PRO_DEPTO), 3);
  EXPECT_EQ(p->getString(ycopro::PRO_PESAD), "S");  // K back to S
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 0.29);
  for (auto [code, pesad, litrad] : {std::tuple{7891000000038.0, "C", "S"}, {7891000000045.0, "M", "N"},
                                     {7891000000052.0, "O", "N"}, {7891000000069.0, "N", "N"}}) {
    p = Find(code);
    ASSERT_TRUE(p) << code;
    EXPECT_EQ(p->getString(ycopro::PRO_PESAD), pesad) << code;
    EXPECT_EQ(p->getString(ycopro::PRO_LITRAD), litrad) << code;
  }
  // Both tags were rebuilt with the table.
  auto by_name = Db().open(ycopro::kTable, {.tag = "Dois", .exclusive = false});
  EXPECT_EQ(by_name->getString(ycopro::PRO_DESCR), "ARROZ AGULHINHA TIPO 1");
  EXPECT_TRUE(Db().exists("YCOPRO.MDX"));
}

TEST_F(Interchange, FullImportReadsLayoutsLinesAndNamesAsTheyCome) {
  SetCheckDigit(false);
  // A hand-made file: unpadded fields, a blank line, LF endings, a lower-case
  // name, a line whose code the field cannot hold.
  Write(File("nlufile.mtr"),
        "123,CAFE,CAFE,3,2,00000350,K,S\n"
        "\n"
        "   \r\n"
        "123456789012345,LONGO,LONGO,1,1,1,U,N\n"
        "456,SEM PRECO,SEM PRECO,1,99\n");
  Outcome o = Import(Scope::kAll);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message,
            "Importação do arquivo NLUFILE.MTR concluída !\r"
            "Linhas não importadas: 1 (linhas 4)" + FullBackup());
  EXPECT_EQ(o.lines_written, 2u);
  EXPECT_EQ(gauge_.maximum_, static_cast<int64_t>(fs::file_size(File("nlufile.mtr"))));
  EXPECT_EQ(gauge_.last_, gauge_.maximum_);
  auto p = Find(123);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_PESAD), "S");
  EXPECT_EQ(p->getString(ycopro::PRO_LITRAD), "S");
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 3.5);
  p = Find(456);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->asNumber(ycopro::PRO_GRUPO), 1);  // department 99 has no group
  EXPECT_EQ(p->getString(ycopro::PRO_PESAD), "N");

  // Check digits on: the file's codes get theirs back.
  p.reset();
  SetCheckDigit(true);
  Write(File("nlufile.mtr"), "789100000001,ARROZ,ARROZ,1,1,00002490,U,N\r\n");
  ASSERT_TRUE(Import(Scope::kAll).done);
  EXPECT_TRUE(Find(7891000000014));
  EXPECT_EQ(Rows(ycopro::kTable), 1u);
}

TEST_F(Interchange, ConversionUsesTheSlotsOfQ5200) {
  ReplaceProducts({{7891000000014, "ARROZ", "ARROZ", 2, 1, 1}, {7891000000021, "SAL", "SAL", 17, 1, 1}});
  Write(File("NLUFILE.MTR"), "older\r\n");

  // Without the file nothing changes, the older export included.
  Outcome o = Export(Scope::kAll, true);
  EXPECT_FALSE(o.done);
  EXPECT_EQ(o.message, "Q5200.CVS, arquivo para conversão de alíquotas não encontrado ![w]");
  EXPECT_EQ(Read(File("NLUFILE.MTR")), "older\r\n");
  EXPECT_FALSE(Import(Scope::kAll, true).done);
  EXPECT_EQ(Rows(ycopro::kTable), 2u);

  // Slot 1 unusable, slot 2 " 07x", slot 3 "T3" unusable; lines beyond 16 ignored.
  Write(File("q5200.cvs"), "0\r\n 07x\r\nT3\r\n" + std::string(14, '\n') + "9\r\n");
  std::optional<ConversionSlots> slots = ReadConversion(Db());
  ASSERT_TRUE(slots);
  EXPECT_EQ((*slots)[0], "");
  EXPECT_EQ((*slots)[1], "07");
  EXPECT_EQ((*slots)[2], "");
  EXPECT_EQ((*slots)[15], "");

  o = Export(Scope::kAll, true);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message, "NLUFILE.MTR criado com sucesso ![w]\rProdutos sem alíquota convertida: 1");
  EXPECT_EQ(Read(File("NLUFILE.MTR")),
            "789100000001,ARROZ                 ,ARROZ               ,07,1,00000100\r\n"
            "789100000002,SAL                   ,SAL                 ,,1,00000100\r\n");

  // On import, field 4 picks the slot: 2 gives 7; 3 has none and gives 0.
  Write(File("NLUFILE.MTR"), "789100000001,ARROZ,ARROZ,2,1,00000100\r\n789100000002,SAL,SAL,3,1,00000100\r\n");
  o = Import(Scope::kAll, true);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message, "Importação do arquivo NLUFILE.MTR concluída !\rProdutos sem alíquota convertida: 1" +
                           FullBackup());
  auto p = Find(7891000000014);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->asNumber(ycopro::PRO_TRIBUT), 7);
  EXPECT_TRUE(p->isBlank(ycopro::PRO_ESTQ));  // the short layout leaves them empty
  EXPECT_TRUE(p->isBlank(ycopro::PRO_UNMED));
  EXPECT_EQ(Find(7891000000021)->asNumber(ycopro::PRO_TRIBUT), 0);
}

TEST_F(Interchange, ConversionFileIsWrittenWithItsSixteenLines) {
  EXPECT_TRUE(IsConversionEntry(""));
  EXPECT_TRUE(IsConversionEntry("7"));
  EXPECT_TRUE(IsConversionEntry("17"));
  EXPECT_FALSE(IsConversionEntry("0"));
  EXPECT_FALSE(IsConversionEntry("AB"));
  EXPECT_FALSE(IsConversionEntry("1A"));
  EXPECT_FALSE(IsConversionEntry(".5"));
  EXPECT_FALSE(IsConversionEntry("123"));
  ConversionSlots slots;
  slots[0] = "7";
  slots[15] = "12";
  ASSERT_TRUE(WriteConversion(Db(), slots));
  std::string expected = "7\r\n";
  for (int i = 0; i < 14; ++i) expected += "\r\n";
  EXPECT_EQ(Read(File("Q5200.CVS")), expected + "12\r\n");
  EXPECT_EQ(ReadConversion(Db()), slots);
  fs::rename(File("Q5200.CVS"), File("q5200.Cvs"));
  ASSERT_TRUE(WriteConversion(Db(), slots));
  EXPECT_TRUE(fs::exists(File("q5200.Cvs")));
  EXPECT_FALSE(fs::exists(File("Q5200.CVS")));
}

TEST_F(Interchange, NlumntExportWritesTheQueueAndLeavesIt) {
  Write(File("NLUMNT.MTR"), "older\r\n");
  Outcome o = Export(Scope::kChanged);
  EXPECT_FALSE(o.done);
  EXPECT_EQ(o.message, "Ycoy60, arquivo de produtos alterados esta vazio ![w]");
  EXPECT_FALSE(fs::exists(File("NLUMNT.MTR")));

  QueueRow(789100000001, "ARROZ AGULHINHA TIPO 1 5KG");
  QueueRow(42, "APAGADO", "1");
  o = Export(Scope::kChanged);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message, "NLUMNT.MTR criado com sucesso ![w]");
  EXPECT_EQ(Read(File("NLUMNT.MTR")),
            "1208,3,789100000001,ARROZ AGULHINHA TIPO 1,ARROZ AGULHINHA TIPO,2,3,00000750\r\n"
            "1208,1,000000000042,APAGADO               ,APAGADO             ,2,3,00000750\r\n");
  EXPECT_EQ(Rows(ycoy60::kTable), 2u);

  Write(File("Q5200.CVS"), "\r\n5\r\n");
  o = Export(Scope::kChanged, true);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message, "NLUMNT.MTR criado com sucesso ![w]");
  EXPECT_NE(Read(File("NLUMNT.MTR")).find(",ARROZ AGULHINHA TIPO,5,3,"), std::string::npos);
}

TEST_F(Interchange, NlumntImportChangesAddsAndDeletesProductsAndQueuesThem) {
  SetFixedNow(DateTime{std::chrono::year{2026} / 12 / 24, 10, 0, 0});
  ReplaceProducts({{7891000000014, "ARROZ", "ARROZ", 1, 1, 24.9, "S", "S"},
                   {7891000000021, "SAL", "SAL", 1, 1, 1},
                   {7891000000038, "OLEO", "OLEO", 2, 1, 1}});
  QueueRow(789100000002, "SAL ANTIGO");
  Write(File("NLUMNT.MTR"),
        "1201,3,789100000001,ARROZ NOVO            ,ARROZ NOVO          ,1,2,00002590\r\n"
        "1201,4,789100000002,SAL NOVO              ,SAL NOVO            ,3,1,00000150\r\n"
        "\r\n"
        "1201,2,789100000009,FEIJAO                ,FEIJAO              ,1,5,00000899\r\n"
        "1201,1,789100000003,OLEO                  ,OLEO                ,2,1,00000100\r\n");
  Outcome o = Import(Scope::kChanged);
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message,
            "Importação do arquivo NLUMNT.MTR concluída ![w]\r"
            "Cópia de segurança: backup/20261224-100000-importacao-nlumnt");
  // The backup holds the three tables as they were before the first change.
  const auto backups = db::ListBackups(Db());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].tables, (std::vector<std::string>{"YCOBAR", "YCOPRO", "YCOY60"}));
  const db::Database before(File(db::kBackupFolder) / backups[0].name);
  EXPECT_EQ(before.open(ycopro::kTable, {.tag = "Um"})->recordCount(), 3u);
  EXPECT_EQ(before.open(ycoy60::kTable)->recordCount(), 1u);
  EXPECT_EQ(o.lines_written, 4u);

  auto p = Find(7891000000014);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_DESCR), "ARROZ NOVO");
  EXPECT_EQ(p->getString(ycopro::PRO_FLAGAL), "*");
  EXPECT_EQ(p->getString(ycopro::PRO_FLAGTR), "");  // same tax code
  EXPECT_EQ(p->getString(ycopro::PRO_PESAD), "S");  // kept: the file does not carry it
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 25.9);
  EXPECT_EQ(p->asNumber(ycopro::PRO_DEPTO), 2);
  p = Find(7891000000021);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_FLAGTR), "*");  // 1 became 3
  p = Find(7891000000090);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_FLAGAL), "N");
  EXPECT_EQ(p->getString(ycopro::PRO_CASAD), "2");
  EXPECT_EQ(p->getLogical(ycopro::PRO_Q4000), true);
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 8.99);
  EXPECT_FALSE(Find(7891000000038));
  EXPECT_EQ(Rows(ycopro::kTable), 3u);

  // One queue row per product, keyed without the check digit; the old row of
  // SAL was rewritten rather than doubled.
  auto y60 = Db().open(ycoy60::kTable);
  std::map<double, std::string> queue;
  for (y60->first(); !y60->eof(); y60->next()) {
    queue[y60->asNumber(ycoy60::Y60_PROPLU)] = y60->getString(ycoy60::Y60_DESCR) + "|" +
                                             y60->getString(ycoy60::Y60_DATA) + "|" +
                                             y60->getString(ycoy60::Y60_STATUS) + "|" +
                                             y60->getString(ycoy60::PRO_GRPITE);
  }
  EXPECT_EQ(queue, (std::map<double, std::string>{{789100000001, "ARROZ NOVO|1224|3|1"},
                                                  {789100000002, "SAL NOVO|1224|3|1"},
                                                  {789100000009, "FEIJAO|1224|3|1"}}));
}

TEST_F(Interchange, OpticashSkipsItsHeaderAndReadsItsFields) {
  SetCheckDigit(false);
  // Fields: 1 ignored, 2 description, 3 code, 4 tax, 5 price digits, 10 litre flag.
  auto line = [](const std::string& d, const std::string& c, const std::string& t, const std::string& p,
                 const std::string& litre) { return "x\t" + d + "\t" + c + "\t" + t + "\t" + p + "\t\t\t\t\t" + litre; };
  Write(File("Opticash.txt"), line("HEADER IS DATA", "000111", "1", "100", "0") + "\r\n" +
                                  line("CAFE TORRADO E MOIDO 500G", "000789", "10", "1250", "0") + "\r\n" +
                                  "\r\n" + line("GASOLINA", "0042", "12", "5899", "1") + "\r\n");
  Outcome o = ImportOpticash();
  ASSERT_TRUE(o.done) << o.message;
  EXPECT_EQ(o.message, "Importação do arquivo OPTICASH.TXT concluída !" + FullBackup());
  EXPECT_EQ(Rows(ycopro::kTable), 2u);
  EXPECT_FALSE(Find(111));
  auto p = Find(789);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->getString(ycopro::PRO_DESCR), "CAFE TORRADO E MOIDO 500G");
  EXPECT_EQ(p->getString(ycopro::PRO_RESUM), "CAFE TORRADO E MOIDO");
  EXPECT_EQ(p->asNumber(ycopro::PRO_TRIBUT), 14);
  EXPECT_EQ(p->asNumber(ycopro::PRO_DEPTO), 1);
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 12.5);
  EXPECT_EQ(p->getString(ycopro::PRO_CASAD), "2");
  p = Find(42);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->asNumber(ycopro::PRO_TRIBUT), 16);
  EXPECT_EQ(p->asNumber(ycopro::PRO_PCOVEN), 5.899);
  EXPECT_EQ(p->getString(ycopro::PRO_LITRAD), "S");
  EXPECT_EQ(p->getString(ycopro::PRO_CASAD), "3");

  p.reset();
  SetCheckDigit(true);
  ASSERT_TRUE(ImportOpticash().done);
  EXPECT_TRUE(Find(7894));
}

TEST_F(Interchange, RefusalsLeaveEveryTableAsItWas) {
  const size_t products = Rows(ycopro::kTable), codes = Rows("Ycobar");
  EXPECT_EQ(Import(Scope::kAll).message, "Arquivo NLUFILE.MTR não encontrado !");
  EXPECT_EQ(ImportOpticash().message, "Arquivo OPTICASH.TXT não encontrado !");
  EXPECT_EQ(Import(Scope::kChanged).message, "Arquivo NLUMNT.MTR não encontrado ![w]");
  EXPECT_EQ(Rows(ycopro::kTable), products);
  EXPECT_EQ(Rows("Ycobar"), codes);
  EXPECT_FALSE(fs::exists(File(db::TableSwap::kFolder)));

  Write(File("NLUFILE.MTR"), "1,A,A,1,1,1,U,N\r\n");
  Write(File("NLUMNT.MTR"), "1201,3,000000000001,A,A,1,1,1\r\n");
  auto other_station = Db().open(ycopro::kTable);
  const std::string in_use =
      "Arquivo de produtos não disponível !\r"
      "Certifique-se de que nenhuma outra estacão esteja utilizando o sistema Pelda Roza ®.";
  EXPECT_EQ(Import(Scope::kAll).message, in_use);
  EXPECT_EQ(Import(Scope::kChanged).message, in_use);
  EXPECT_EQ(Import(Scope::kAll, true).message, in_use + "[w]");
  EXPECT_EQ(ImportOpticash().message, in_use);
  other_station.reset();

  // The bar codes or the queue in use stop a full import just the same, and
  // NLUMNT.MTR's, which cannot copy them.
  auto bar = Db().open("Ycobar");
  EXPECT_FALSE(Import(Scope::kAll).done);
  bar.reset();
  auto queue = Db().open(ycoy60::kTable);
  EXPECT_EQ(Import(Scope::kChanged).message, in_use);
  queue.reset();
  EXPECT_FALSE(fs::exists(File(db::kBackupFolder)));
  EXPECT_EQ(Rows(ycopro::kTable), products);
  EXPECT_TRUE(Import(Scope::kAll).done);
  EXPECT_EQ(Rows(ycopro::kTable), 1u);
}

TEST_F(Interchange, InterruptedSwapIsUndoneOrFinishedOnTheNextOpen) {
  const size_t products = Rows(ycopro::kTable);
  // Killed while building: no journal, the staging folder goes.
  fs::create_directory(File(".swap"));
  Write(File(".swap/YCOPRO.DBF"), "half");
  EXPECT_TRUE(db::FinishInterruptedSwap(Db()));
  EXPECT_FALSE(fs::exists(File(".swap")));
  EXPECT_EQ(Rows(ycopro::kTable), products);

  // Killed after the journal, before its renames: a staged empty Ycobar
  // without index, and one staged file already renamed.
  fs::create_directory(File(".swap"));
  const fs::path bar = Db().find("YCOBAR.DBF");
  fs::copy_file(bar, File(".swap/YCOBAR.DBF"));
  ASSERT_TRUE(db::LimpaIndiceDbf(File(".swap/YCOBAR.DBF")));
  db::Database(File(".swap")).open("Ycobar", {.tag = "", .exclusive = true})->emptyTable();
  Write(File(".swap/JOURNAL"), "R\tYCOBAR.DBF\t" + bar.filename().string() +
                                   "\nD\tYCOBAR.MDX\nR\tGONE.DBF\tGONE.DBF\n");
  EXPECT_TRUE(db::FinishInterruptedSwap(Db()));
  EXPECT_FALSE(fs::exists(File(".swap")));
  EXPECT_EQ(Rows("Ycobar"), 0u);
  EXPECT_FALSE(db::FinishInterruptedSwap(Db()));
}

}  // namespace
}  // namespace kaslo::interchange
