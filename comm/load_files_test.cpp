// The load files against real tables of an installed data directory: each
// register's bytes as the terminal parses them, written out by hand here so
// that a shifted field or a wrong padding shows, and the files the job
// preparation leaves (working file, wire file, markers, messages).
#include "comm/load_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "comm/jobs.h"
#include "comm/session_protocol.h"
#include "common/clock.h"
#include "common/numbers.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycotey.h"
#include "db/tables/ycoven.h"
#include "db/tables/ycoy60.h"
#include "db/tables/ycoycf.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string Blanks(size_t n) { return std::string(n, ' '); }
std::string Zeros(size_t n) { return std::string(n, '\0'); }

// One row appended with the given values; numbers and texts by field.
class Row {
 public:
  Row(const db::Database& db, std::string_view table) : t_(db.open(table)) { t_->append(); }
  Row& Text(const db::FieldDef& f, std::string_view latin1) {
    t_->setString(f, latin1);
    return *this;
  }
  Row& Number(const db::FieldDef& f, double v) {
    t_->setNumber(f, v);
    return *this;
  }
  ~Row() { EXPECT_TRUE(t_->post()); }

 private:
  std::unique_ptr<db::Table> t_;
};

void SetParameter(const db::Database& db, std::string_view table, const db::FieldDef& f, std::string_view value) {
  auto t = db.open(table);
  t->first();
  ASSERT_FALSE(t->eof());
  t->edit();
  t->setString(f, value);
  ASSERT_TRUE(t->post());
}

void Empty(const db::Database& db, std::string_view table) {
  auto t = db.open(table, {.tag = "", .exclusive = true});
  t->emptyTable();
}

// A data directory with only the rows every store has.
class LoadFilesTest : public ::testing::Test {
 protected:
  db::testing::TempDataDir dir_;
  const db::Database& db() const { return dir_.db(); }
};

// The demo store of the installation.
class DemoLoadFilesTest : public ::testing::Test {
 protected:
  db::testing::TempDataDir dir_{{.demo = true}};
  const db::Database& db() const { return dir_.db(); }
};

// ---- encoders and single records

TEST(LoadRecords, PackedDecimalsAndDigits) {
  EXPECT_EQ(CompactaBCD(PriceDigits(12.5, "2")), "\x00\x00\x12\x50"s);
  EXPECT_EQ(PriceDigits(12.5, "2"), "00001250");
  EXPECT_EQ(PriceDigits(12.5, "3"), "00012500");
  EXPECT_EQ(PriceDigits(0.285, "2"), "00000029");  // the stored decimal, not its binary neighbour
  EXPECT_EQ(PriceDigits(1234567.891, "2"), "99999999");  // held at the width
  EXPECT_EQ(StockDigits(-2), "00000000");
  EXPECT_EQ(Digits(12345, 4), "2345");
  EXPECT_EQ(DecimalDigits(2.5, 4, 2), "0250");
}

TEST(LoadRecords, OperatorNameIsCutTo15) {
  OperatorValues v;
  v.code = 7;
  v.name = "MARIA DA CONCEICAO";
  v.password = 42;
  for (size_t i = 0; i < v.flags.size(); ++i) v.flags[i] = std::string(1, static_cast<char>('A' + i));
  std::string r = OperatorRecord(v);
  ASSERT_EQ(r.size(), kOperatorRecordSize);
  EXPECT_EQ(r, "0007MARIA DA CONCEI0042ABCDEFGHIJKLMNNN");
  v.flags[3] = "";  // a blank flag keeps the record's width
  EXPECT_EQ(OperatorRecord(v).substr(23, 4), "ABC ");
}

TEST(LoadRecords, ProductRecordEdgeValues) {
  ProductValues v;
  v.plu = 7;
  v.short_description = "PRODUTO SETE";
  v.price = 12.5;
  v.decimals = "2";
  v.tax = 3;
  v.department = 4;
  v.stock = 1.5;
  v.unit = "K";
  v.litrado = "N";
  std::string expected = "\x00\x00\x00\x00\x00\x07"s + "PRODUTO SETE" + Blanks(8) + "\x00\x00\x12\x50"s + "\x03\x04"s +
                         Zeros(42) + "\x00\x00\x15\x00"s + "\x01" + "0";
  EXPECT_EQ(ProductRecord(v, ProductRecordSize::k80), expected);
  EXPECT_EQ(ProductRecord(v, ProductRecordSize::k86), expected + Zeros(6));
  v.decimals = "3";
  EXPECT_EQ(ProductRecord(v, ProductRecordSize::k80).substr(26, 4), "\x00\x01\x25\x00"s);
  v.plu = 1234567890123;  // 13 digits: the first 12 are sent
  EXPECT_EQ(ProductRecord(v, ProductRecordSize::k80).substr(0, 6), "\x12\x34\x56\x78\x90\x12"s);
}

TEST(LoadRecords, ProductFlagByte) {
  struct Case {
    const char* unit;
    const char* litrado;
    uint8_t flags;
  } cases[] = {
      {"O", "N", 0x20}, {"C", "N", 0x10}, {"N", "S", 0x08}, {"M", "N", 0x04}, {"L", "S", 0x0A},
      {"K", "N", 0x01}, {"S", "N", 0x01}, {"N", "N", 0x00}, {"", "", 0x00},   {"k", "n", 0x01},
  };
  for (const Case& c : cases) EXPECT_EQ(ProductFlagByte(c.unit, c.litrado), c.flags) << c.unit << c.litrado;
}

TEST(LoadRecords, KeyboardSlotsAndDateTime) {
  EXPECT_EQ(KeyboardSlot(1, std::nullopt), "000000");
  EXPECT_EQ(KeyboardSlot(23, KeyFunction{"805", "812"}), "000000");
  EXPECT_EQ(KeyboardSlot(2, KeyFunction{"805", "812"}), "271200");
  EXPECT_EQ(KeyboardSlot(3, KeyFunction{"901", "903"}), "280003");
  EXPECT_EQ(KeyboardSlot(4, KeyFunction{"805", "100"}), "050000");  // last two digits of a long code
  EXPECT_EQ(KeyboardSlot(5, KeyFunction{"7", "850"}), "070000");
  using namespace std::chrono;
  EXPECT_EQ(DateTimeRecord(year{2026} / month{3} / day{7}, 9, 5), "070320260905");
}

TEST(LoadRecords, PrintLinesExpandedAndCentred) {
  std::array<PrintLine, 4> lines{PrintLine{"ABC", "S", "S"}, PrintLine{"0123456789012345678901234", "S", "N"},
                                 PrintLine{"  X  ", "N", "S"}, PrintLine{"", "", ""}};
  std::string r = PrintLinesRecord(lines);
  ASSERT_EQ(r.size(), kPrintLinesRecordSize);
  EXPECT_EQ(r.substr(0, 44), Blanks(9) + "ABC" + Blanks(30) + "SS");
  EXPECT_EQ(r.substr(44, 44), "012345678901234567890" + Blanks(21) + "SN");
  EXPECT_EQ(r.substr(88, 44), Blanks(20) + "X" + Blanks(21) + "NS");
  EXPECT_EQ(r.substr(132, 44), Blanks(42) + "  ");
}

// ---- files from the tables

TEST_F(LoadFilesTest, OperatorsInCodeOrder) {
  const db::FieldDef* flags[] = {&ycoope::OPE_DITEM, &ycoope::OPE_DSUBTO, &ycoope::OPE_CITEM, &ycoope::OPE_CCUPOM,
                                 &ycoope::OPE_LEITX, &ycoope::OPE_REDZ,   &ycoope::OPE_SANGRI, &ycoope::OPE_FDCXA,
                                 &ycoope::OPE_LIMITE, &ycoope::OPE_RELATO, &ycoope::OPE_AITEM, &ycoope::OPE_ASUBTO,
                                 &ycoope::OPE_PERFIL};
  {
    Row r(db(), ycoope::kTable);
    r.Number(ycoope::OPE_CODIGO, 12).Text(ycoope::OPE_NOME, "JOS\xC9").Number(ycoope::OPE_SENHA, 1234);
    for (size_t i = 0; i < 13; ++i) r.Text(*flags[i], std::string(1, static_cast<char>('a' + i)));
  }
  Row(db(), ycoope::kTable).Number(ycoope::OPE_CODIGO, 3).Text(ycoope::OPE_NOME, "ANA").Number(ycoope::OPE_SENHA, 7);
  EXPECT_EQ(OperatorsFile(db()), "0003ANA" + Blanks(12) + "0007" + Blanks(13) + "NNN" +  //
                                     "0012JOS\xC9" + Blanks(11) + "1234abcdefghijklmNNN");
}

TEST_F(LoadFilesTest, Sellers) {
  Row(db(), ycoven::kTable).Number(ycoven::VEN_CODIGO, 5).Text(ycoven::VEN_NOME, "VENDEDOR COM NOME LONGO");
  Row(db(), ycoven::kTable).Number(ycoven::VEN_CODIGO, 2).Text(ycoven::VEN_NOME, "RITA");
  EXPECT_EQ(SellersFile(db()), "0002RITA" + Blanks(11) + "0005VENDEDOR COM NO");
}

TEST_F(LoadFilesTest, GroupsAndDepartmentsAlwaysFullCount) {
  Empty(db(), ycogrp::kTable);
  Empty(db(), ycodep::kTable);
  // Group 2 by a blank DEP_CODIGO, group 5 by a 0; group 7 has members only.
  Row(db(), ycogrp::kTable).Number(ycogrp::GRP_CODIGO, 2).Text(ycogrp::GRP_DESCR, "BEBIDAS E FRIOS");
  Row(db(), ycogrp::kTable).Number(ycogrp::GRP_CODIGO, 5).Text(ycogrp::GRP_DESCR, "LIMPEZA").Number(ycogrp::DEP_CODIGO, 0);
  Row(db(), ycogrp::kTable).Number(ycogrp::GRP_CODIGO, 2).Text(ycogrp::GRP_DESCR, "BEBIDAS E FRIOS").Number(ycogrp::DEP_CODIGO, 4);
  Row(db(), ycogrp::kTable).Number(ycogrp::GRP_CODIGO, 7).Text(ycogrp::GRP_DESCR, "SO MEMBRO").Number(ycogrp::DEP_CODIGO, 9);
  Row(db(), ycogrp::kTable).Number(ycogrp::GRP_CODIGO, 7).Text(ycogrp::GRP_DESCR, "SO MEMBRO").Number(ycogrp::DEP_CODIGO, 3);
  Row(db(), ycodep::kTable).Number(ycodep::DEP_CODIGO, 4).Text(ycodep::DEP_DESCR, "BEBIDAS");
  Row(db(), ycodep::kTable).Number(ycodep::DEP_CODIGO, 99).Text(ycodep::DEP_DESCR, "DIVERSOS");
  Row(db(), ycodep::kTable).Number(ycodep::DEP_CODIGO, 3).Text(ycodep::DEP_DESCR, "FRIOS");

  std::string groups = GroupsFile(db());
  ASSERT_EQ(groups.size(), 20u * 22u);
  EXPECT_EQ(groups.substr(0, 22), "01GRUPO DE DEPTO 01" + Blanks(3));
  EXPECT_EQ(groups.substr(22, 22), "02BEBIDAS E FRIOS" + Blanks(5));
  EXPECT_EQ(groups.substr(4 * 22, 22), "05LIMPEZA" + Blanks(13));
  EXPECT_EQ(groups.substr(6 * 22, 22), "07GRUPO DE DEPTO 07" + Blanks(3));
  EXPECT_EQ(groups.substr(19 * 22), "20GRUPO DE DEPTO 20" + Blanks(3));

  std::string deps = DepartmentsFile(db());
  ASSERT_EQ(deps.size(), 99u * 19u);
  EXPECT_EQ(deps.substr(0, 19), "0101DEPARTAMENTO 01");
  EXPECT_EQ(deps.substr(2 * 19, 19), "0307FRIOS" + Blanks(10));
  EXPECT_EQ(deps.substr(3 * 19, 19), "0402BEBIDAS" + Blanks(8));
  // A member row of a department that does not exist gives no group.
  EXPECT_EQ(deps.substr(8 * 19, 19), "0901DEPARTAMENTO 09");
  EXPECT_EQ(deps.substr(98 * 19), "9901DIVERSOS" + Blanks(7));
}

TEST_F(LoadFilesTest, GroupsAndDepartmentsOfAnEmptyStore) {
  Empty(db(), ycogrp::kTable);
  Empty(db(), ycodep::kTable);
  std::string groups = GroupsFile(db());
  std::string deps = DepartmentsFile(db());
  ASSERT_EQ(groups.size(), 440u);
  ASSERT_EQ(deps.size(), 1881u);
  for (int i = 0; i < 99; ++i) {
    std::string two = (i < 9 ? "0" : "") + std::to_string(i + 1);
    EXPECT_EQ(deps.substr(i * 19, 19), two + "01DEPARTAMENTO " + two);
  }
}

TEST_F(LoadFilesTest, PaymentTypes) {
  Empty(db(), ycoq40::kTable);
  Row(db(), ycoq40::kTable)
      .Number(ycoq40::Q40_CODIGO, 2)
      .Text(ycoq40::Q40_DESCR, "CARTAO DE CREDITO VISA")
      .Number(ycoq40::Q40_LIMITE, 1500.6)
      .Text(ycoq40::Q40_TROCO, "N")
      .Text(ycoq40::Q40_GAVETA, "S")
      .Text(ycoq40::Q40_TIPO, "2")
      .Text(ycoq40::Q40_CVALLE, "N");
  Row(db(), ycoq40::kTable).Number(ycoq40::Q40_CODIGO, 1).Text(ycoq40::Q40_DESCR, "DINHEIRO").Text(ycoq40::Q40_TROCO, "S");
  EXPECT_EQ(PaymentNamesFile(db()), "DINHEIRO" + Blanks(7) + "CARTAO DE CREDI");
  EXPECT_EQ(PaymentConfigFile(db()), "00000S   " "01501NS2N");
}

TEST_F(DemoLoadFilesTest, OptionFiles) {
  EXPECT_EQ(BarCodeOptionsFile(db()), "PS05000");
  EXPECT_EQ(PeripheralsFile(db()), "SS20N");
  EXPECT_EQ(FlagsFile(db()), "NNSNNNNN01");
  EXPECT_EQ(DiscountsFile(db()), "P0500SP1000NP0250NP0000N");
}

TEST_F(DemoLoadFilesTest, FooterAndHeader) {
  std::string footer = FooterFile(db());
  ASSERT_EQ(footer.size(), 176u);
  EXPECT_EQ(footer.substr(0, 44), Blanks(8) + "OBRIGADO PELA PREFER\xCANCIA" + Blanks(9) + "NS");
  EXPECT_EQ(footer.substr(44, 44), Blanks(14) + "VOLTE SEMPRE!" + Blanks(15) + "NS");
  EXPECT_EQ(footer.substr(88, 44), "TROCAS SOMENTE COM ESTE CUPOM" + Blanks(13) + "NN");
  EXPECT_EQ(footer.substr(132, 44), Blanks(42) + "NN");

  // The demo store centres its header; the second line is not.
  SetParameter(db(), ycoprm::kTable, ycoprm::Q40_EXPA4, "S");
  SetParameter(db(), ycoprm::kTable, ycoprm::Q40_CAMCE1, "N");
  std::string header = HeaderFile(db());
  ASSERT_EQ(header.size(), 176u);
  EXPECT_EQ(header.substr(0, 44), Blanks(8) + "MERCADINHO BOA VISTA LTDA" + Blanks(9) + "NS");
  EXPECT_EQ(header.substr(44, 44), "RUA DAS PALMEIRAS" + Blanks(25) + "NN");
  EXPECT_EQ(header.substr(88, 44), Blanks(12) + "TEL (11) 5573-2100" + Blanks(12) + "NS");
  // Expanded: cut to 21 ("OBRIGADO E VOLTE SEMP"), centred in 21 (nothing to add).
  EXPECT_EQ(header.substr(132, 44), "OBRIGADO E VOLTE SEMP" + Blanks(21) + "SS");
}

TEST_F(LoadFilesTest, Clients) {
  Row(db(), ycocli::kTable)
      .Number(ycocli::CLI_CODIGO, 12)
      .Number(ycocli::CLI_CNPJ, 12345678000195)
      .Text(ycocli::CLI_NOME, "CLIENTE")
      .Text(ycocli::CLI_ENDER, "RUA A")
      .Text(ycocli::CLI_COMPLE, "SALA 1")
      .Text(ycocli::CLI_STATUS, "A");
  std::string file = ClientsFile(db());
  ASSERT_EQ(file.size(), kClientRecordSize);
  EXPECT_EQ(file, "\x00\x12\x12\x34\x56\x78\x00\x01\x95"s + "CLIENTE" + Blanks(23) + "RUA A" + Blanks(35) + "SALA 1" +
                      Blanks(34) + "A" + Blanks(8));
}

TEST_F(LoadFilesTest, Keyboard) {
  Empty(db(), ycotey::kTable);
  auto key = [&](const char* type, int button, double ntecla, double number) {
    Row(db(), ycotey::kTable)
        .Text(ycotey::TEY_TYPE, type)
        .Number(ycotey::TEY_BOTON, button)
        .Number(ycotey::TEY_NTECLA, ntecla)
        .Number(ycotey::TEY_NUMBER, number);
  };
  key("QZV", 1, 805, 812);
  key("QZV", 2, 901, 903);
  key("QZV", 3, 12, 100);
  key("QZV", 23, 45, 100);   // button 23 is always empty
  key("Q4000", 4, 44, 100);  // another model's key
  key("QZV", 26, 9, 100);
  std::string file = KeyboardFile(db());
  ASSERT_EQ(file.size(), kKeyboardRecordSize);
  EXPECT_EQ(file.substr(0, 18), "271200280003120000");
  EXPECT_EQ(file.substr(18, 6), "000000");
  EXPECT_EQ(file.substr(22 * 6, 6), "000000");
  EXPECT_EQ(file.substr(25 * 6), "090000");
}

TEST_F(LoadFilesTest, CheckDigitOptionIsExactlyS) {
  for (auto [value, on] : {std::pair{"S", true}, {"N", false}, {"s", false}, {"", false}}) {
    SetParameter(db(), ycoprm::kTable, ycoprm::Q40_DIGCON, value);
    EXPECT_EQ(CheckDigitOption(db()), on) << "[" << value << "]";
  }
}

TEST_F(DemoLoadFilesTest, ProductsWithCheckDigitOption) {
  auto products = LoadProducts(db(), CheckDigitOption(db()));
  ASSERT_EQ(products.size(), 42u);
  std::string p3 = ProductsFile(products, ProductRecordSize::k80);
  std::string p5 = ProductsFile(products, ProductRecordSize::k86);
  ASSERT_EQ(p3.size(), 42u * 80u);
  ASSERT_EQ(p5.size(), 42u * 86u);
  // PRO_PLU order: the in-store 2000... codes first; the code goes without its check digit.
  EXPECT_EQ(p3.substr(0, 30), "\x20\x00\x00\x00\x00\x16"s + "CHOPE CLARO LT" + Blanks(6) + "\x00\x01\x85\x00"s);
  EXPECT_EQ(p3.substr(74, 6), "\x00\x05\x05\x00\x0A"s + "0");  // 50.5 litres; litre and unit "L"
  for (size_t i = 0; i < 42; ++i) {
    EXPECT_EQ(p5.substr(i * 86, 80), p3.substr(i * 80, 80)) << i;
    EXPECT_EQ(p5.substr(i * 86 + 80, 6), Zeros(6)) << i;
  }
  std::string list = CompleteProductList(products);
  // Item group "0" stays out: 13 of the demo's products have another.
  ASSERT_EQ(list.size(), 13u * 59u);
  EXPECT_EQ(list.substr(0, 59), "2200000000022BANANA NANICA KG    1504000005992SN2" "00040250\r\n");
}

TEST_F(LoadFilesTest, ProductListLineLayout) {
  ProductValues v;
  v.plu = 7;
  v.short_description = "PRODUTO SETE";
  v.price = 12.5;
  v.decimals = "2";
  v.tax = 3;
  v.department = 4;
  v.stock = 1.5;
  v.unit = "K";
  v.litrado = "N";
  v.item_group = "1";
  std::string line = ProductListLine('2', v);
  EXPECT_EQ(line.size(), kProductListLineSize + 2);
  EXPECT_EQ(line, "2000000000007PRODUTO SETE" + Blanks(8) + "030400001250" "2KN1" "00001500\r\n");
}

// ---- the changed-products list of job 499

class ChangedProductsTest : public LoadFilesTest {
 protected:
  void Queue(double plu, const char* status) {
    Row(db(), ycoy60::kTable)
        .Number(ycoy60::Y60_PROPLU, plu)
        .Text(ycoy60::Y60_RESUM, "ITEM")
        .Number(ycoy60::Y60_TRIBUT, 1)
        .Number(ycoy60::Y60_DEPTO, 2)
        .Number(ycoy60::Y60_PCOVEN, 3.5)
        .Text(ycoy60::PRO_CASAD, "2")
        .Text(ycoy60::PRO_PESAD, "N")
        .Text(ycoy60::PRO_LITRAD, "N")
        .Text(ycoy60::PRO_GRPITE, "0")
        .Number(ycoy60::PRO_ESTQ, 10)
        .Text(ycoy60::Y60_STATUS, status);
  }
  std::vector<std::string> Statuses() {
    std::vector<std::string> out;
    auto t = db().open(ycoy60::kTable);
    for (t->first(); !t->eof(); t->next()) out.push_back(t->getString(ycoy60::Y60_STATUS));
    return out;
  }
  static std::string Line(char code, const char* plu) {
    return std::string(1, code) + plu + "ITEM" + Blanks(16) + "0102" "00000350" "2NN0" "00010000\r\n";
  }
};

TEST_F(ChangedProductsTest, StockOptionRewritesStatusesAndOrdersByCode) {
  Queue(30, "2");
  Queue(10, "1");
  Queue(20, "4");
  EXPECT_EQ(ChangedProductList(db(), true),
            Line('1', "000000000010") + Line('3', "000000000020") + Line('3', "000000000030"));
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"3", "1", "3"}));
  EXPECT_EQ(ChangedProductList(db(), false),
            Line('1', "000000000010") + Line('4', "000000000020") + Line('4', "000000000030"));
  EXPECT_EQ(Statuses(), (std::vector<std::string>{"4", "1", "4"}));
}

TEST_F(ChangedProductsTest, EmptyQueueIsNoRecords) {
  EXPECT_EQ(ChangedProductList(db(), true), "");
  Preparation prep = PrepareJobFiles(db(), kJobChangedProducts, {}, {"1"});
  EXPECT_EQ(prep.outcome, Preparation::kNoRecords);
  EXPECT_EQ(prep.message, "Não foram localizados registros com esta seleção.");
}

// ---- the files the preparation leaves

TEST_F(DemoLoadFilesTest, LoadPreparationWritesWorkingAndWireFiles) {
  struct Case {
    int kind;
    std::vector<std::pair<std::string, std::string>> files;  // working name, bytes
  } cases[] = {
      {88, {{"user", OperatorsFile(db())}}},
      {99, {{"vend", SellersFile(db())}}},
      {101, {{"grpdepto", GroupsFile(db())}, {"depto", DepartmentsFile(db())}}},
      {111, {{"depto", DepartmentsFile(db())}}},
      {121, {{"finaliz", PaymentNamesFile(db())}, {"cfgfinal", PaymentConfigFile(db())}}},
      {131, {{"perif", "SS20N"}, {"codbarra", "PS05000"}, {"flags", "NNSNNNNN01"}}},
      {141, {{"descacr", DiscountsFile(db())}}},
      {151, {{"footer", FooterFile(db())}}},
      {161, {{"Client", ClientsFile(db())}}},
      {211, {{"teclado", KeyboardFile(db())}}},
      {241, {{"header", HeaderFile(db())}}},
  };
  for (const Case& c : cases) {
    // Old received files of the register go.
    std::string reg = c.files.front().first;
    std::ofstream(dir_.path() / ("S" + reg + "2.rec")) << "old";
    Preparation prep = PrepareJobFiles(db(), c.kind, {}, {"1", "2"});
    ASSERT_EQ(prep.outcome, Preparation::kReady) << c.kind << " " << prep.message;
    EXPECT_EQ(prep.first_wire_name, WireName('R', reg + ".dad")) << c.kind;
    EXPECT_EQ(prep.first_wire_name.size(), 13u);
    EXPECT_FALSE(fs::exists(dir_.path() / ("S" + reg + "2.rec"))) << c.kind;
    for (const auto& [name, bytes] : c.files) {
      EXPECT_FALSE(bytes.empty()) << name;
      EXPECT_EQ(Slurp(dir_.path() / name), bytes) << c.kind << " " << name;
      EXPECT_EQ(Slurp(dir_.path() / ("R" + name + ".dad")), bytes) << c.kind << " " << name;
    }
  }
}

TEST_F(DemoLoadFilesTest, DateTimeAndProductPreparation) {
  using namespace std::chrono;
  JobOptions options;
  options.date_time = kaslo::DateTime{year{2026} / month{3} / day{7}, 9, 5, 0};
  ASSERT_EQ(PrepareJobFiles(db(), kJobDateTimeLoad, options, {}).outcome, Preparation::kReady);
  EXPECT_EQ(Slurp(dir_.path() / "Rdatahora.dad"), "070320260905");

  kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
  for (const char* old : {"nlufile.mtr", "Prods.dad", "pro1.dad", "pro2.dad"})
    std::ofstream(dir_.path() / old) << "old";
  Preparation prep = PrepareJobFiles(db(), kJobProductLoad, {}, {"1", "2"});
  kaslo::SetFixedNow(std::nullopt);
  ASSERT_EQ(prep.outcome, Preparation::kReady) << prep.message;
  EXPECT_EQ(prep.first_wire_name, "RProds.dad   ");
  auto products = LoadProducts(db(), true);
  EXPECT_EQ(Slurp(dir_.path() / "Prods3"), ProductsFile(products, ProductRecordSize::k80));
  EXPECT_EQ(Slurp(dir_.path() / "Prods5"), ProductsFile(products, ProductRecordSize::k86));
  EXPECT_EQ(Slurp(dir_.path() / "RProds.dad"), "08/12/2026 09:05:07\r\n");
  EXPECT_EQ(Slurp(dir_.path() / "Rnlumnt.dad"), CompleteProductList(products));
  for (const char* old : {"nlufile.mtr", "Prods.dad", "pro1.dad", "pro2.dad"})
    EXPECT_FALSE(fs::exists(dir_.path() / old)) << old;
}

TEST_F(LoadFilesTest, ProductLoadWithoutProducts) {
  Preparation prep = PrepareJobFiles(db(), kJobProductLoad, {}, {});
  EXPECT_EQ(prep.outcome, Preparation::kNoRecords);
  EXPECT_EQ(prep.message, "Não foram localizados registros com esta seleção.");
  EXPECT_FALSE(fs::exists(dir_.path() / "RProds.dad"));
}

TEST_F(LoadFilesTest, ProductLoadWithoutListedProductsWritesNoList) {
  Row(db(), ycopro::kTable).Number(ycopro::PRO_PLU, 7).Text(ycopro::PRO_GRPITE, "0");
  Row(db(), ycopro::kTable).Number(ycopro::PRO_PLU, 8);  // a blank item group counts as "0"
  std::ofstream(dir_.path() / "Rnlumnt.dad") << "old";
  ASSERT_EQ(PrepareJobFiles(db(), kJobProductLoad, {}, {}).outcome, Preparation::kReady);
  EXPECT_EQ(Slurp(dir_.path() / "Prods3").size(), 160u);
  EXPECT_FALSE(fs::exists(dir_.path() / "Rnlumnt.dad"));
}

TEST_F(DemoLoadFilesTest, FileThatCannotBeCreated) {
  Row(db(), ycoy60::kTable).Number(ycoy60::Y60_PROPLU, 7).Text(ycoy60::Y60_STATUS, "2");
  struct Case {
    int kind;
    const char* blocked;
    const char* message;
  } cases[] = {
      {88, "user", "Erro ao tentar criar user ![w]"},
      {99, "vend", "Erro ao tentar criar vend ![w]"},
      {121, "cfgfinal", "Erro ao tentar criar [122] ![w]"},
      {131, "codbarra", "Erro ao tentar criar codbarra [17] ![w]"},
      {131, "flags", "Erro ao tentar criar flags [500] ![w]"},
      {131, "perif", "Erro ao tentar criar perif [131] ![w]"},
      {161, "Client", "Erro ao tentar criar client ![w]"},
      {151, "footer", "Erro ao tentar criar footer ![w]"},
      {111, "depto", "Erro ao tentar criar depto ![w]"},
      {181, "Prods", "Erro ao tentar criar Prods.dad!"},
      {499, "nlumnt", "Erro ao tentar criar nlufile.mtr!"},
      {8, "user", "Erro ao tentar criar [ user ] !"},
      {12, "cfgfinal", "Erro ao tentar criar [ cfgfinal ] ![w]"},
      {87, "ZLogs", "Erro ao tentar criar [ ZLogs ] !"},
  };
  for (const Case& c : cases) {
    fs::path blocker = dir_.path() / c.blocked;
    fs::remove_all(blocker);
    fs::create_directory(blocker);  // a folder where the working file goes
    std::ofstream(blocker / "keep") << "x";
    Preparation prep = PrepareJobFiles(db(), c.kind, {}, {"1"});
    EXPECT_EQ(prep.outcome, Preparation::kFailed) << c.kind << " " << c.blocked;
    EXPECT_EQ(prep.message, c.message) << c.kind << " " << c.blocked;
    fs::remove_all(blocker);
  }
}

TEST_F(DemoLoadFilesTest, RequestMarkers) {
  using namespace std::chrono;
  kaslo::SetFixedNow(kaslo::DateTime{year{2026} / month{12} / day{8}, 9, 5, 7});
  const std::string marker = "08/12/2026 09:05:07\r\n";
  struct Case {
    int kind;
    std::vector<std::string> files;
    std::string first;
  } cases[] = {
      {1, {"GX.dad"}, "GX.dad"},
      {2, {"GM00019999.da"}, "GM00019999.da"},
      {8, {"Suser.dad"}, "Suser.dad"},
      {12, {"Sfinaliz.dad", "Scfgfinal.dad"}, "Sfinaliz.dad"},
      {13, {"Scodbarra.dad", "Sperif.dad", "Sflags.dad"}, "Scodbarra.dad"},
      {18, {"SProds.dad"}, "SProds.dad"},
      {23, {"SLogs.dad"}, "SLogs.dad"},
      {998, {"SProds.dad", "Sr60m.dad"}, "SProds.dad"},
  };
  for (const Case& c : cases) {
    Preparation prep = PrepareJobFiles(db(), c.kind, {}, {"1"});
    ASSERT_EQ(prep.outcome, Preparation::kReady) << c.kind;
    EXPECT_EQ(WireFile(prep.first_wire_name), c.first) << c.kind;
    for (const std::string& f : c.files) EXPECT_EQ(Slurp(dir_.path() / f), marker) << c.kind << " " << f;
  }
  // The LOG-clear command: its marker has no line end.
  ASSERT_EQ(PrepareJobFiles(db(), kJobLogClear, {}, {"1"}).outcome, Preparation::kReady);
  EXPECT_EQ(Slurp(dir_.path() / "CZLogs.dad"), "08/12/2026 09:05:07");
  // With the LOG-clear option the LOG reading also leaves the clear command.
  fs::remove(dir_.path() / "CZLogs.dad");
  SetParameter(db(), ycoprm::kTable, ycoprm::Q40_LOGZ, "S");
  ASSERT_EQ(PrepareJobFiles(db(), kJobLogReading, {}, {"1"}).outcome, Preparation::kReady);
  EXPECT_EQ(Slurp(dir_.path() / "CZLogs.dad"), "08/12/2026 09:05:07");
  kaslo::SetFixedNow(std::nullopt);
}

}  // namespace
}  // namespace kaslo::comm
