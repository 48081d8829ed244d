// The product register: record decoding, the record length from the
// terminal's identification, and the replacement of Ycopro and Ycobar in a
// real data directory (including a Ycopro held open by another process).
#include "viewers/product_register.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "common/numbers.h"
#include "common/text.h"
#include "db/table_ops.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoprm.h"
#include "viewers/register_viewer.h"
#include "viewers/test_support.h"

namespace kaslo::viewers {
namespace {

enum { kCode, kDescr, kPrice, kTax, kDep, kSold, kDecimals, kLitrado, kUnit, kGroup, kStock };

struct Product {
  std::string plu = "000000001234";
  std::string descr = "ARROZ TIPO 1";
  std::string price = "00000150";
  std::string tax = "01";
  std::string dep = "05";
  std::string sold = "000000000000";
  std::string stock = "00012050";
  uint8_t flags = 0;
  char group = '3';
  size_t length = kShortProductRecord;

  std::string Bytes() const {
    std::string r = CompactaBCD(plu) + CompletaDireita(descr, 20) + CompactaBCD(price) + CompactaBCD(tax) +
                    CompactaBCD(dep) + CompactaBCD(sold) + std::string(36, '\0') + CompactaBCD(stock) +
                    std::string(1, static_cast<char>(flags)) + std::string(1, group);
    r.resize(length, '\0');
    return r;
  }
  std::vector<std::string> Row(bool check_digit = false) const { return DecodeProductRecord(Bytes(), check_digit); }
};

TEST(ProductDecodingTest, CodeWithAndWithoutTheCheckDigit) {
  Product p;
  p.plu = "000000001234";
  EXPECT_EQ("1234", p.Row(false)[kCode]);
  EXPECT_EQ("1234-8", p.Row(true)[kCode]);
  p.plu = "789100000001";
  EXPECT_EQ("789100000001-4", p.Row(true)[kCode]);
  p.plu = "000000000000";
  EXPECT_EQ("0", p.Row(false)[kCode]);
  EXPECT_EQ("0-0", p.Row(true)[kCode]);
}

TEST(ProductDecodingTest, PriceStockAndQuantitySold) {
  Product p;
  std::string bytes = p.Bytes();
  ASSERT_EQ(std::string("\x00\x00\x01\x50", 4), bytes.substr(26, 4));
  ASSERT_EQ(std::string("\x00\x01\x20\x50", 4), bytes.substr(74, 4));
  p.sold = "000000012345";
  auto row = p.Row();
  EXPECT_EQ("1.50", row[kPrice]);
  EXPECT_EQ("12.050", row[kStock]);
  EXPECT_EQ("0.000", Product{.stock = "00000000"}.Row()[kStock]);
  // The stock's third decimal is 0 here, so the quantity is a whole number...
  EXPECT_EQ("12345", row[kSold]);
  // ...and with a third decimal the quantity has three decimals too.
  p.stock = "00012051";
  EXPECT_EQ("12.345", p.Row()[kSold]);
  EXPECT_EQ("12.051", p.Row()[kStock]);
}

TEST(ProductDecodingTest, PriceReadWithTheDecimalsGiven) {
  Product p{.price = "00018500"};
  EXPECT_EQ("185.00", p.Row()[kPrice]);
  auto row = DecodeProductRecord(p.Bytes(), false, 3);
  EXPECT_EQ("18.500", row[kPrice]);
  EXPECT_EQ("3", row[kDecimals]);
  EXPECT_EQ("0.000", DecodeProductRecord(Product{.price = "00000000"}.Bytes(), false, 3)[kPrice]);
}

TEST(ProductDecodingTest, UnitFlags) {
  struct Case {
    uint8_t flags;
    const char* unit;
    const char* litrado;
  } cases[] = {
      {0x00, "UN", "NÃO"}, {0x01, "KG", "NÃO"}, {0x08, "UN", "SIM"}, {0x21, "OU", "NÃO"},
      {0x06, "MT", "NÃO"}, {0x12, "CM", "NÃO"}, {0xC0, "UN", "NÃO"}, {0x0A, "LT", "SIM"},
  };
  for (const Case& c : cases) {
    auto row = Product{.flags = c.flags}.Row();
    EXPECT_EQ(c.unit, row[kUnit]) << int(c.flags);
    EXPECT_EQ(c.litrado, row[kLitrado]) << int(c.flags);
  }
}

TEST(ProductDecodingTest, TextsAndTwoDigitCodes) {
  Product p;
  p.descr = std::string("FEIJ\xC3O") + std::string(3, '\0') + "PRETO";
  auto row = p.Row();
  EXPECT_EQ("FEIJÃO   PRETO", row[kDescr]);
  EXPECT_EQ("01", row[kTax]);
  EXPECT_EQ("05", row[kDep]);
  EXPECT_EQ("2", row[kDecimals]);
  EXPECT_EQ("03", row[kGroup]);
  EXPECT_EQ(11u, row.size());
}

TEST(ProductDecodingTest, WholeRecordsOnlyWithOneStepEach) {
  std::string bytes;
  for (int i = 1; i <= 10; ++i) bytes += Product{.plu = NumeroComZeros(12, 0, i), .length = 86}.Bytes();
  ASSERT_EQ(860u, bytes.size());
  int steps = 0;
  RegisterGrid grid = DecodeProducts(bytes, kLongProductRecord, false, [&] { ++steps; });
  ASSERT_EQ(10u, grid.rows.size());
  EXPECT_EQ(10, steps);
  EXPECT_EQ("10", grid.rows[9][kCode]);
  EXPECT_EQ("ARROZ TIPO 1", grid.rows[9][kDescr]);
  // Read with the wrong record length the same bytes give other rows, and
  // the partial tail (860 = 10 * 80 + 60) is left out.
  EXPECT_EQ(10u, DecodeProducts(bytes, kShortProductRecord, false).rows.size());
  EXPECT_EQ(9u, DecodeProducts(bytes.substr(0, 859), kLongProductRecord, false).rows.size());
  EXPECT_EQ((std::vector<std::string>{"Código", "Descrição Resumida", "Preço", "Tributação", "Depto",
                                      "Qtde Vendida", "Casas Dec.", "Litrado", "Pesado", "Grupo", "Estoque"}),
            grid.headers);
}

class ProductRegisterTest : public testing::DataDirTest {
 protected:
  std::filesystem::path WriteIdentification(char model) {
    return WriteFile("Sid3.rec", std::string(21, 'X') + model + "rest of the identity\r\n");
  }
  RegisterGrid Display(const std::vector<Product>& products) {
    std::string bytes;
    for (const Product& p : products) bytes += p.Bytes();
    return DisplayRegister(*db_, {kLeituraProdutos, "3", WriteFile("SProds3.rec", bytes)});
  }
  void AddProduct(double plu, const char* descr, double stock) {
    auto pro = db_->open(ycopro::kTable);
    pro->append();
    pro->setNumber(ycopro::PRO_PLU, plu);
    pro->setString(ycopro::PRO_DESCR, descr);
    pro->setNumber(ycopro::PRO_ESTQ, stock);
    pro->post();
  }
  void AddBarCode(double plu, const char* code) {
    auto bar = db_->open(ycobar::kTable);
    bar->append();
    bar->setNumber(ycobar::BAR_PLU, plu);
    bar->setString(ycobar::BAR_CODIGO, code);
    bar->post();
  }
  void SetCheckDigit(const char* value) {
    auto prm = db_->open(ycoprm::kTable);
    prm->first();
    prm->edit();
    prm->setString(ycoprm::Q40_DIGCON, value);
    prm->post();
  }
  std::string FileBytes(std::string_view name) {
    std::ifstream in(db_->find(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(ProductRegisterTest, RecordLengthFollowsTheIdentification) {
  EXPECT_EQ(kLongProductRecord, ProductRecordLength(WriteIdentification('4')));
  EXPECT_EQ(kLongProductRecord, ProductRecordLength(WriteIdentification('5')));
  EXPECT_EQ(kLongProductRecord, ProductRecordLength(WriteIdentification('9')));
  EXPECT_EQ(kShortProductRecord, ProductRecordLength(WriteIdentification('3')));
  EXPECT_EQ(kShortProductRecord, ProductRecordLength(WriteIdentification('0')));
  EXPECT_EQ(std::nullopt, ProductRecordLength(WriteFile("Sid4.rec", std::string(21, '9') + "\r\n5")));
  EXPECT_EQ(std::nullopt, ProductRecordLength(dir_ / "Sid5.rec"));
}

TEST_F(ProductRegisterTest, DisplayOf860BytesWithALongIdentity) {
  WriteIdentification('5');
  std::vector<Product> products;
  for (int i = 1; i <= 10; ++i) products.push_back({.plu = NumeroComZeros(12, 0, i), .length = 86});
  RegisterGrid grid = Display(products);
  EXPECT_EQ(10u, grid.rows.size());
  EXPECT_EQ("", grid.message);
  EXPECT_EQ(std::vector<std::string>{"Aguarde, processando arquivos recebidos..."}, progress_.texts);
  EXPECT_EQ(10, progress_.maxima.front());
  EXPECT_EQ(10, progress_.steps);
  EXPECT_EQ(1, progress_.hides);
}

TEST_F(ProductRegisterTest, ALargeFileMovesTheBarOnlyByVisibleSteps) {
  WriteIdentification('3');
  std::vector<Product> products(5000);
  RegisterGrid grid = Display(products);
  EXPECT_EQ(5000u, grid.rows.size());
  EXPECT_EQ(5000, progress_.maxima.front());
  EXPECT_LE(progress_.steps, 200);
  EXPECT_GE(progress_.steps, 100);
}

TEST_F(ProductRegisterTest, DisplayWithoutAUsableIdentificationShowsWhy) {
  RegisterGrid grid = Display({Product{}});
  EXPECT_TRUE(grid.rows.empty());
  EXPECT_EQ(11u, grid.headers.size());
  EXPECT_EQ("Arquivo de identificação do terminal não encontrado ou inválido: " + (dir_ / "Sid3.rec").string(),
            grid.message);
  WriteFile("Sid3.rec", "SHORT");
  EXPECT_TRUE(Display({Product{}}).rows.empty());
}

TEST_F(ProductRegisterTest, AFourthModelTerminalSends86ByteRecords) {
  WriteIdentification('4');
  std::vector<Product> products;
  for (int i = 1; i <= 43; ++i) products.push_back({.plu = NumeroComZeros(12, 0, i), .length = 86});
  RegisterGrid grid = Display(products);
  ASSERT_EQ(43u, grid.rows.size());
  EXPECT_FALSE(grid.refused);
  EXPECT_EQ("", grid.message);
  for (size_t i = 0; i < grid.rows.size(); ++i) {
    EXPECT_EQ(std::to_string(i + 1), grid.rows[i][kCode]);
    EXPECT_EQ("ARROZ TIPO 1", grid.rows[i][kDescr]);
    EXPECT_EQ("12.050", grid.rows[i][kStock]);
  }
}

TEST_F(ProductRegisterTest, AFileOfTornRecordsIsRefusedBeforeAnyRow) {
  const struct {
    char model;
    size_t length;
    int count;
    const char* message;
  } cases[] = {
      {'4', 80, 10, "Arquivo SProds3.rec com tamanho inválido (800 bytes) !"},
      {'3', 86, 43, "Arquivo SProds3.rec com tamanho inválido (3698 bytes) !"},
  };
  for (const auto& c : cases) {
    progress_ = {};
    WriteIdentification(c.model);
    RegisterGrid grid = Display(std::vector<Product>(c.count, Product{.length = c.length}));
    EXPECT_TRUE(grid.rows.empty()) << c.model;
    EXPECT_TRUE(grid.refused);
    EXPECT_EQ(11u, grid.headers.size());
    EXPECT_EQ(c.message, grid.message);
    EXPECT_EQ(0, progress_.steps);
  }
  // A reading without products is a whole number of records.
  RegisterGrid empty = Display({});
  EXPECT_FALSE(empty.refused);
  EXPECT_EQ("", empty.message);
}

TEST_F(ProductRegisterTest, PricesTakeTheDecimalsOfTheSameProductInYcopro) {
  auto add = [&](double plu, const char* decimals, double price) {
    auto pro = db_->open(ycopro::kTable);
    pro->append();
    pro->setNumber(ycopro::PRO_PLU, plu);
    pro->setString(ycopro::PRO_CASAD, decimals);
    pro->setNumber(ycopro::PRO_PCOVEN, price);
    pro->post();
  };
  add(12348, "3", 18.5);  // with the check-digit option the table holds 1234 with its digit
  add(77, "3", 1.25);
  add(78, "2", 185);
  WriteIdentification('4');
  auto products = [] {
    return std::vector<Product>{
        {.price = "00018500", .length = 86},
        {.plu = "000000000077", .price = "00001250", .length = 86},
        {.plu = "000000000078", .price = "00018500", .length = 86},
        {.plu = "000000000079", .price = "00018500", .length = 86},  // not in the table
    };
  };
  RegisterGrid plain = Display(products());
  ASSERT_EQ(4u, plain.rows.size());
  EXPECT_EQ("185.00", plain.rows[0][kPrice]);  // 1234 without its digit is not in the table
  EXPECT_EQ("1.250", plain.rows[1][kPrice]);
  EXPECT_EQ("3", plain.rows[1][kDecimals]);
  EXPECT_EQ("185.00", plain.rows[2][kPrice]);
  EXPECT_EQ("2", plain.rows[2][kDecimals]);
  EXPECT_EQ("185.00", plain.rows[3][kPrice]);
  EXPECT_EQ("2", plain.rows[3][kDecimals]);

  SetCheckDigit("S");
  RegisterGrid grid = Display(products());
  ASSERT_EQ("1234-8", grid.rows[0][kCode]);
  EXPECT_EQ("18.500", grid.rows[0][kPrice]);
  EXPECT_EQ("3", grid.rows[0][kDecimals]);

  ASSERT_TRUE(ReplaceProducts(*db_, grid).completed);
  auto pro = db_->open(ycopro::kTable, {.tag = "Um"});
  ASSERT_TRUE(pro->findKey(12348));
  EXPECT_EQ("3", pro->getString(ycopro::PRO_CASAD));
  EXPECT_DOUBLE_EQ(18.5, pro->asNumber(ycopro::PRO_PCOVEN));
  // The next reading still finds three decimals for it.
  pro.reset();
  EXPECT_EQ("18.500", Display(products()).rows[0][kPrice]);
}

TEST_F(ProductRegisterTest, CheckDigitOptionIsExactlyS) {
  WriteIdentification('3');
  EXPECT_EQ("1234", Display({Product{}}).rows[0][kCode]);
  SetCheckDigit("S");
  EXPECT_EQ("1234-8", Display({Product{}}).rows[0][kCode]);
  SetCheckDigit(" ");
  EXPECT_EQ("1234", Display({Product{}}).rows[0][kCode]);
}

TEST_F(ProductRegisterTest, ReplacementRebuildsProductsAndEmptiesBarCodes) {
  AddProduct(555, "ANTIGO", 3);
  AddBarCode(555, "7890000000001");
  {
    auto grp = db_->open(ycogrp::kTable);
    grp->append();
    grp->setNumber(ycogrp::GRP_CODIGO, 4);
    grp->setNumber(ycogrp::DEP_CODIGO, 7);
    grp->post();
  }
  WriteIdentification('3');
  RegisterGrid grid = Display({
      Product{.flags = 0x01},                                               // KG, department 05
      Product{.plu = "000000000077", .descr = "LEITE", .dep = "07", .flags = 0x08, .group = '0'},
      Product{.plu = "000000000000", .descr = "SEM CODIGO"},
      Product{.plu = "000000000078", .descr = "FIO", .flags = 0x21},
  });
  ASSERT_EQ(4u, grid.rows.size());
  progress_ = {};

  ReplaceOutcome outcome = ReplaceRegister(*db_, kLeituraProdutos, grid);
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ("Substituição de cadastro completa !", outcome.message);
  EXPECT_EQ(3u, outcome.rows_written);
  ASSERT_GE(progress_.texts.size(), 3u);
  EXPECT_EQ("Aguarde, processando registros atuais...", progress_.texts[0]);
  EXPECT_EQ(4, progress_.maxima[0]);
  EXPECT_EQ("Aguarde, Reindexando: Produtos do Pelda Roza ®", progress_.texts[1]);
  EXPECT_EQ("Aguarde, Reindexando: Códigos de Barra", progress_.texts[2]);

  EXPECT_EQ(0u, Rows(ycobar::kTable));
  EXPECT_FALSE(db_->exists("propro.dbf"));
  EXPECT_FALSE(db_->exists("barbar.dbf"));
  auto pro = db_->open(ycopro::kTable, {.tag = "Um"});
  EXPECT_EQ(3u, pro->recordCount());
  EXPECT_FALSE(pro->findKey(555));
  EXPECT_FALSE(pro->findKey(0));

  ASSERT_TRUE(pro->findKey(1234));
  EXPECT_EQ("ARROZ TIPO 1", pro->getString(ycopro::PRO_DESCR));
  EXPECT_EQ("ARROZ TIPO 1", pro->getString(ycopro::PRO_RESUM));
  EXPECT_DOUBLE_EQ(1.5, pro->asNumber(ycopro::PRO_PCOVEN));
  EXPECT_DOUBLE_EQ(12.05, pro->asNumber(ycopro::PRO_ESTQ));
  EXPECT_EQ(1, pro->asInteger(ycopro::PRO_TRIBUT));
  EXPECT_EQ(5, pro->asInteger(ycopro::PRO_DEPTO));
  EXPECT_EQ(1, pro->asInteger(ycopro::PRO_GRUPO));  // department 5 is in no group
  EXPECT_EQ("S", pro->getString(ycopro::PRO_PESAD));
  EXPECT_EQ("N", pro->getString(ycopro::PRO_LITRAD));
  EXPECT_EQ("3", pro->getString(ycopro::PRO_GRPITE));
  EXPECT_EQ("2", pro->getString(ycopro::PRO_CASAD));
  EXPECT_EQ("N", pro->getString(ycopro::PRO_PROMO));
  EXPECT_EQ(0.0, pro->getNumber(ycopro::PRO_PCOPRO));
  EXPECT_EQ(0.0, pro->getNumber(ycopro::PRO_PCOATA));
  EXPECT_EQ(true, pro->getLogical(ycopro::PRO_Q4000));
  EXPECT_EQ(true, pro->getLogical(ycopro::PRO_QZV));
  EXPECT_EQ(true, pro->getLogical(ycopro::PRO_QZVRES));

  ASSERT_TRUE(pro->findKey(77));
  EXPECT_EQ(4, pro->asInteger(ycopro::PRO_GRUPO));
  EXPECT_EQ("N", pro->getString(ycopro::PRO_PESAD));
  EXPECT_EQ("S", pro->getString(ycopro::PRO_LITRAD));
  EXPECT_EQ("0", pro->getString(ycopro::PRO_GRPITE));
  ASSERT_TRUE(pro->findKey(78));
  EXPECT_EQ("O", pro->getString(ycopro::PRO_PESAD));

  pro->setTag("Dois");
  EXPECT_TRUE(pro->findKey("LEITE"));
}

TEST_F(ProductRegisterTest, CodesWithCheckDigitAreStoredWhole) {
  SetCheckDigit("S");
  WriteIdentification('3');
  RegisterGrid grid = Display({Product{}});
  ASSERT_TRUE(ReplaceProducts(*db_, grid).completed);
  auto pro = db_->open(ycopro::kTable, {.tag = "Um"});
  EXPECT_TRUE(pro->findKey(12348));
}

TEST_F(ProductRegisterTest, AStockFieldOfAnotherTypeIsConvertedFirst) {
  std::vector<std::string> drop = {std::string(ycopro::PRO_ESTQ.name)};
  const db::FieldDef narrow[] = {db::Num(ycopro::PRO_ESTQ.name, 6, 1)};
  db::Restructure(*db_, ycopro::kTable, drop, narrow);
  WriteIdentification('3');
  ASSERT_TRUE(ReplaceProducts(*db_, Display({Product{}})).completed);
  auto pro = db_->open(ycopro::kTable);
  const auto& f = pro->fields()[*pro->fieldIndex(ycopro::PRO_ESTQ.name)];
  EXPECT_EQ(10, f.length);
  EXPECT_EQ(3, f.decimals);
  pro->first();
  EXPECT_DOUBLE_EQ(12.05, pro->asNumber(ycopro::PRO_ESTQ));
}

TEST_F(ProductRegisterTest, ARowThatCannotBeAppendedLeavesBothTables) {
  AddProduct(555, "ANTIGO", 3);
  AddBarCode(555, "7890000000001");
  std::string products_before = FileBytes("Ycopro.dbf");
  WriteIdentification('3');
  RegisterGrid grid = Display({Product{}, Product{}});
  grid.rows[1][kPrice] = "1000000000000";  // wider than PRO_PCOVEN
  ReplaceOutcome outcome = ReplaceProducts(*db_, grid);
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ("Erro ao tentar incluir novo registro !", outcome.message);
  EXPECT_EQ(products_before, FileBytes("Ycopro.dbf"));
  EXPECT_EQ(1u, Rows(ycobar::kTable));
  EXPECT_EQ(0, progress_.maxima.back());  // the bar was reset
  EXPECT_GE(progress_.hides, 1);
}

TEST_F(ProductRegisterTest, YcoproOpenInAnotherProcessLeavesBothTables) {
  AddProduct(555, "ANTIGO", 3);
  AddBarCode(555, "7890000000001");
  std::string products_before = FileBytes("Ycopro.dbf");
  std::string mdx_before = FileBytes("Ycopro.mdx");
  WriteIdentification('3');
  RegisterGrid grid = Display({Product{}});

  int ready[2], release[2];
  ASSERT_EQ(0, pipe(ready));
  ASSERT_EQ(0, pipe(release));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another workstation with the product table open.
    close(ready[0]);
    close(release[1]);
    int status = 1;
    try {
      db::Database other(dir_);
      auto pro = other.open(ycopro::kTable);
      char c = 'x';
      if (write(ready[1], &c, 1) == 1 && read(release[0], &c, 1) >= 0) status = 0;
    } catch (...) {
    }
    _exit(status);
  }
  close(ready[1]);
  close(release[0]);
  char c;
  ASSERT_EQ(1, read(ready[0], &c, 1));

  ReplaceOutcome outcome = ReplaceProducts(*db_, grid);

  close(release[1]);
  int status = 0;
  waitpid(child, &status, 0);
  close(ready[0]);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(
      "Erro ao tentar atualizar tabela de produtos !\rCertifique-se de que nenhuma estação de trabalho "
      "esteja\rutilizando o cadastro de produtos.",
      outcome.message);
  EXPECT_EQ(products_before, FileBytes("Ycopro.dbf"));
  EXPECT_EQ(mdx_before, FileBytes("Ycopro.mdx"));
  EXPECT_EQ(1u, Rows(ycobar::kTable));
  auto pro = db_->open(ycopro::kTable, {.tag = "Um"});
  EXPECT_TRUE(pro->findKey(555));
}

}  // namespace
}  // namespace kaslo::viewers
