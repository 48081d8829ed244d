// The viewer's entry points: every kind's display leaves the data directory
// as it was (the replacement only runs after the confirmation), kind 17
// writes nothing, and the caption counts the data rows.
#include "viewers/register_viewer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <map>

#include "comm/job_table.h"
#include "common/numbers.h"
#include "db/tables/ycoope.h"
#include "viewers/test_support.h"

namespace kaslo::viewers {
namespace {

class RegisterViewerTest : public testing::DataDirTest {
 protected:
  // Every file of the data directory with its bytes.
  std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
  }
};

TEST_F(RegisterViewerTest, DisplaysWriteNothing) {
  WriteFile("Suser3.rec", "0001ANA            1234SNNNNNNNNNNNSNNN");
  WriteFile("Svend3.rec", "0001MARIA          ");
  WriteFile("Sgrpdepto3.rec", "01BEBIDAS             ");
  WriteFile("Sdepto3.rec", "0501MERCEARIA      ");
  WriteFile("SClient3.rec", CompactaBCD("000100000000000000") + std::string(119, ' '));
  WriteFile("Scodbarra3.rec", "PN00000");
  WriteFile("Sid3.rec", std::string(21, '0') + "5");
  WriteFile("SProds3.rec", CompactaBCD("000000001234") + std::string(80, ' '));
  WriteFile("Sfinaliz3.rec", "DINHEIRO       ");
  WriteFile("Scfgfinal3.rec", "00150SS1S");
  WriteFile("Steclado3.rec", "271200");
  auto before = Snapshot();
  for (int kind : {kLeituraOperadores, kLeituraVendedores, kLeituraGrupos, kLeituraDepartamentos,
                   kLeituraClientes, kLeituraConfigLoja, kLeituraProdutos, kLeituraCfgFinalizadoras,
                   kLeituraFinalizadoras, kLeituraTeclado}) {
    RegisterGrid grid = DisplayRegister(*db_, ReceivedJob(dir_, kind, "3"));
    EXPECT_EQ(kind == kLeituraConfigLoja ? 0u : 1u, grid.rows.size()) << kind;
  }
  // The fixed displays keep their rows whatever came back.
  const std::map<int, size_t> fixed = {{kLeituraParametros, 9}, {kLeituraDescontos, 2}, {kLeituraMensagem, 4},
                                       {kLeituraDataHora, 1}, {kLeituraDadosLoja, 4}};
  for (auto [kind, rows] : fixed) EXPECT_EQ(rows, DisplayRegister(*db_, ReceivedJob(dir_, kind, "3")).rows.size());
  EXPECT_EQ(before, Snapshot());
}

TEST_F(RegisterViewerTest, StoreConfigurationHasNoGridAndReplacesNothing) {
  WriteFile("Scodbarra3.rec", "PN00000");
  RegisterGrid grid = DisplayRegister(*db_, {kLeituraConfigLoja, "3", dir_ / "Scodbarra3.rec"});
  EXPECT_TRUE(grid.headers.empty());
  EXPECT_EQ("Leitura de Configuração da Loja - Total de Registros [ 0 ]",
            ViewerCaption("Leitura de Configuração da Loja", grid));
  auto before = Snapshot();
  ReplaceOutcome outcome = ReplaceRegister(*db_, kLeituraConfigLoja, grid);
  EXPECT_TRUE(outcome.completed);
  EXPECT_EQ("", outcome.message);
  EXPECT_EQ(before, Snapshot());
}

TEST_F(RegisterViewerTest, KindsAndFileNames) {
  EXPECT_EQ("Suser3.rec", ReceptionFileName(RegisterName(kLeituraOperadores), "3"));
  EXPECT_EQ("SClient12.rec", ReceptionFileName(RegisterName(kLeituraClientes), "12"));
  // Every reading but the LOG's is shown here.
  for (int kind = 8; kind <= 24; ++kind) EXPECT_EQ(IsRegisterKind(kind), kind != 22 && kind != 23) << kind;
  EXPECT_EQ("Steclado3.rec", ReceivedJob(dir_, kLeituraTeclado, "3").reception_file.filename().string());
  EXPECT_EQ("", ReceivedJob(dir_, kLeituraTeclado, "3").companion.string());
  EXPECT_THROW(DisplayRegister(*db_, {1, "3", dir_ / "GX3.rec"}), std::invalid_argument);
  EXPECT_THROW(ReplaceRegister(*db_, 19, {}), std::invalid_argument);
}

// "&Visualizar Dados" opens the viewer for every reading whose data are no
// text: each of them must be a kind shown here.
TEST(RegisterViewerKinds, EveryReadingForTheViewerIsShownHere) {
  for (const comm::JobKind& job : comm::JobTable()) {
    const bool for_viewer = comm::DataViewOf(job) == comm::DataView::kRegisterViewer;
    EXPECT_EQ(for_viewer, IsRegisterKind(job.kind)) << job.kind;
  }
}

TEST_F(RegisterViewerTest, FileStampIsTheLocalModificationTime) {
  std::filesystem::path file = WriteFile("Suser3.rec", "0001ANA");
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 1;  // February
  tm.tm_mday = 29;
  tm.tm_hour = 7;
  tm.tm_min = 5;
  tm.tm_sec = 9;
  tm.tm_isdst = -1;
  auto local = std::chrono::system_clock::from_time_t(std::mktime(&tm));
  std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::from_sys(local));
  FileStamp stamp = ReceptionFileStamp(file);
  EXPECT_EQ("29/02/2024", stamp.date);
  EXPECT_EQ("07:05:09", stamp.time);

  FileStamp missing = ReceptionFileStamp(dir_ / "Suser9.rec");
  EXPECT_EQ("", missing.date);
  EXPECT_EQ("", missing.time);
}

}  // namespace
}  // namespace kaslo::viewers
