// The viewer's entry points: every kind's display leaves the data directory
// as it was (the replacement only runs after the confirmation), kind 17
// writes nothing, and the caption counts the data rows.
#include "viewers/register_viewer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <map>

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
  auto before = Snapshot();
  for (int kind : {kLeituraOperadores, kLeituraVendedores, kLeituraGrupos, kLeituraDepartamentos,
                   kLeituraClientes, kLeituraConfigLoja, kLeituraProdutos}) {
    std::string file = ReceptionFileName(RegisterName(kind), "3");
    RegisterGrid grid = DisplayRegister(*db_, {kind, "3", dir_ / file});
    EXPECT_EQ(kind == kLeituraConfigLoja ? 0u : 1u, grid.rows.size()) << kind;
  }
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
  EXPECT_TRUE(IsRegisterKind(kLeituraProdutos));
  EXPECT_FALSE(IsRegisterKind(12));  // payment types are decoded elsewhere
  EXPECT_THROW(DisplayRegister(*db_, {13, "3", dir_ / "Sperif3.rec"}), std::invalid_argument);
  EXPECT_THROW(ReplaceRegister(*db_, 19, {}), std::invalid_argument);
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
