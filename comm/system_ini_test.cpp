#include "comm/system_ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "db/error.h"
#include "db/temp_data_dir.h"

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;

class SystemIniTest : public ::testing::Test {
 protected:
  db::testing::TempDataDir dir_;
  const fs::path& dir() { return dir_.path(); }
  void Put(const char* name, const std::string& text) { std::ofstream(dir() / name, std::ios::binary) << text; }
  std::string Get(const char* name) {
    std::ifstream in(dir() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(SystemIniTest, LogOnLineIsOnOnlyForOne) {
  EXPECT_FALSE(LogOnLine(dir()));  // no file
  Put("RURUDOR.INI", "[Sistema]\r\nLogOnLine=1\r\n");
  EXPECT_TRUE(LogOnLine(dir()));
  Put("RURUDOR.INI", "[sistema]\nlogonline = 1 \n");
  EXPECT_TRUE(LogOnLine(dir()));
  for (const char* text : {"[Sistema]\nLogOnLine=0\n", "[Outro]\nLogOnLine=1\n", "[Sistema]\nOutra=1\n",
                           "[Sistema]\nLogOnLine=SIM\n", ""}) {
    Put("RURUDOR.INI", text);
    EXPECT_FALSE(LogOnLine(dir())) << text;
  }
}

TEST_F(SystemIniTest, TheFileIsFoundWhateverTheCaseOfItsName) {
  Put("rurudor.ini", "[Sistema]\nLogOnLine=1\n");
  EXPECT_TRUE(LogOnLine(dir()));
  SetLogOnLine(dir(), false);
  EXPECT_EQ(Get("rurudor.ini"), "[Sistema]\nLogOnLine=0\n");
  EXPECT_FALSE(fs::exists(dir() / "RURUDOR.INI"));
}

TEST_F(SystemIniTest, AWriteKeepsEverythingElseInItsOrder) {
  Put("RURUDOR.INI",
      "; Kaslo Roza\r\n"
      "[Geral]\r\nLoja=1\r\nEstacao=CAIXA \xC9\r\n"
      "; comunicação\r\n[Sistema]\r\n; leitura contínua\r\nLogOnLine=0\r\nPorta=2000\r\n"
      "[Impressora]\r\nModelo=X\r\nModelo=Y\r\n; fim\r\n");
  SetLogOnLine(dir(), true);
  EXPECT_EQ(Get("RURUDOR.INI"),
            "; Kaslo Roza\r\n\r\n\r\n"
            "[Geral]\r\nLoja=1\r\nEstacao=CAIXA \xC9\r\n\r\n\r\n"
            "; comunicação\r\n[Sistema]\r\n\r\n; leitura contínua\r\nLogOnLine=1\r\nPorta=2000\r\n\r\n\r\n"
            "[Impressora]\r\nModelo=X\r\nModelo=Y\r\n; fim\r\n");
  EXPECT_TRUE(LogOnLine(dir()));
  EXPECT_EQ(ReadSystemIni(dir(), "Geral", "Estacao"), "CAIXA \xC9");
  EXPECT_FALSE(fs::exists(dir() / "RURUDOR.INI.new"));
}

TEST_F(SystemIniTest, AMissingFileOrSectionIsMade) {
  SetLogOnLine(dir(), true);
  EXPECT_EQ(Get("RURUDOR.INI"), "[Sistema]\r\nLogOnLine=1\r\n");
  Put("RURUDOR.INI", "[Geral]\nLoja=1\n");
  SetLogOnLine(dir(), true);
  EXPECT_EQ(Get("RURUDOR.INI"), "[Geral]\nLoja=1\n\n\n[Sistema]\nLogOnLine=1\n");
}

TEST_F(SystemIniTest, AFailedWriteLeavesTheFileAsItWas) {
  Put("RURUDOR.INI", "[Sistema]\nLogOnLine=0\n");
  fs::create_directory(dir() / "RURUDOR.INI.new");  // the temporary copy cannot be made
  EXPECT_THROW(SetLogOnLine(dir(), true), db::Error);
  EXPECT_EQ(Get("RURUDOR.INI"), "[Sistema]\nLogOnLine=0\n");
}

}  // namespace
}  // namespace kaslo::comm
