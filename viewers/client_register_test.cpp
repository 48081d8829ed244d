// The clients register: binary records to grid rows, and rows into Ycocli.
#include "viewers/client_register.h"

#include <gtest/gtest.h>

#include "common/numbers.h"
#include "common/text.h"
#include "db/tables/ycocli.h"
#include "viewers/register_viewer.h"
#include "viewers/test_support.h"

namespace kaslo::viewers {
namespace {

std::string Client(const std::string& code4, const std::string& tax14, const std::string& name, char status,
                   const std::string& address = "RUA A", const std::string& complement = "") {
  std::string r = CompactaBCD(code4 + tax14) + CompletaDireita(name, 30) + CompletaDireita(address, 40) +
                  CompletaDireita(complement, 40) + std::string(1, status) + std::string(8, ' ');
  EXPECT_EQ(kClientRecordLength, r.size());
  return r;
}

TEST(ClientDecodingTest, StatusLetters) {
  RegisterGrid grid = DecodeClients(Client("0001", "00000000000000", "A", '0') +
                                    Client("0002", "00000000000000", "B", '1') +
                                    Client("0003", "00000000000000", "C", '2') +
                                    Client("0004", "00000000000000", "D", '7'));
  ASSERT_EQ(4u, grid.rows.size());
  EXPECT_EQ("VERDE", grid.rows[0][5]);
  EXPECT_EQ("AMARELO", grid.rows[1][5]);
  EXPECT_EQ("VERMELHO", grid.rows[2][5]);
  EXPECT_EQ("", grid.rows[3][5]);
}

TEST(ClientDecodingTest, TaxNumberMaskedAsCnpjWhenValidElseAsCpf) {
  RegisterGrid grid = DecodeClients(Client("0012", "11222333000181", "EMPRESA", '0') +
                                    Client("0013", "00012345678909", "PESSOA", '0') +
                                    Client("0014", "00000000000000", "SEM DOCUMENTO", '0'));
  ASSERT_EQ(3u, grid.rows.size());
  EXPECT_EQ("0012", grid.rows[0][0]);  // leading zeros kept
  EXPECT_EQ("11.222.333/0001-81", grid.rows[0][1]);
  EXPECT_EQ("123.456.789-09", grid.rows[1][1]);
  EXPECT_EQ("00.000.000/0000-00", grid.rows[2][1]);  // zero passes the CNPJ check
}

TEST(ClientDecodingTest, TextsTrimmedZeroBytesAsBlanksAndCodeZeroSkipped) {
  std::string record = Client("0005", "00000000000000", "", '1', "  AV. BRASIL 10  ", "FUNDOS");
  std::string name = std::string("JOS\xC9") + std::string(3, '\0') + "SILVA";
  record.replace(9, name.size(), name);
  RegisterGrid grid = DecodeClients(Client("0000", "11222333000181", "NINGUEM", '0') + record);
  ASSERT_EQ(1u, grid.rows.size());
  EXPECT_EQ((std::vector<std::string>{"0005", "00.000.000/0000-00", "JOSÉ   SILVA", "AV. BRASIL 10", "FUNDOS",
                                      "AMARELO"}),
            grid.rows[0]);
  EXPECT_EQ((std::vector<std::string>{"Código", "CPF/CNPJ", "Nome/Razão Social", "Endereço", "Complemento",
                                      "Status"}),
            grid.headers);
}

class ClientRegisterTest : public testing::DataDirTest {};

TEST_F(ClientRegisterTest, AFileOf300BytesHoldsTwoClients) {
  std::string bytes = Client("0001", "00000000000000", "A", '0') + Client("0002", "00000000000000", "B", '0');
  bytes += Client("0003", "00000000000000", "C", '0').substr(0, 44);
  ASSERT_EQ(300u, bytes.size());
  auto file = WriteFile("SClient3.rec", bytes);
  RegisterGrid grid = DisplayRegister(*db_, {kLeituraClientes, "3", file});
  EXPECT_EQ(2u, grid.rows.size());
  EXPECT_TRUE(DisplayRegister(*db_, {kLeituraClientes, "3", dir_ / "SClient4.rec"}).rows.empty());
}

TEST_F(ClientRegisterTest, ReplacementWritesCodesStatusAndBareTaxNumbers) {
  {
    auto cli = db_->open(ycocli::kTable);
    cli->append();
    cli->setNumber(ycocli::CLI_CODIGO, 77);
    cli->post();
  }
  RegisterGrid grid =
      DecodeClients(Client("0012", "11222333000181", "UMA RAZAO SOCIAL BEM MAIS LONGA QUE 25", '1') +
                    Client("0013", "00012345678909", "PESSOA", '7', "RUA B", "CASA 2"));
  ReplaceOutcome outcome = ReplaceClients(*db_, grid);
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ("Substituição de cadastro completa !", outcome.message);

  auto cli = db_->open(ycocli::kTable, {.tag = "Um"});
  EXPECT_EQ(2u, cli->recordCount());
  EXPECT_FALSE(cli->findKey(77));
  ASSERT_TRUE(cli->findKey(12));
  EXPECT_EQ(11222333000181.0, cli->asNumber(ycocli::CLI_CNPJ));
  EXPECT_EQ("1", cli->getString(ycocli::CLI_STATUS));
  EXPECT_EQ("UMA RAZAO SOCIAL BEM MAIS", cli->getString(ycocli::CLI_NOME));
  EXPECT_EQ(0, cli->asInteger(ycocli::REG_CODIGO));
  EXPECT_FALSE(cli->isBlank(ycocli::REG_CODIGO));
  ASSERT_TRUE(cli->findKey(13));
  EXPECT_EQ(12345678909.0, cli->asNumber(ycocli::CLI_CNPJ));
  EXPECT_EQ("2", cli->getString(ycocli::CLI_STATUS));
  EXPECT_EQ("RUA B", cli->getString(ycocli::CLI_ENDER));
  EXPECT_EQ("CASA 2", cli->getString(ycocli::CLI_COMPLE));
}

}  // namespace
}  // namespace kaslo::viewers
