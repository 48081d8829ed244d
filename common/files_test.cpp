// Tests of the file routines on real files in a fresh temporary folder.
#include "common/files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace kaslo {

namespace {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device rd;
    dir_ = fs::temp_directory_path() / ("kaslo_files_test_" + std::to_string(rd()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path Write(const std::string& name, const std::string& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  fs::path dir_;
};

TEST_F(FilesTest, CopyCreatesAndReplaces) {
  std::string big;
  for (int i = 0; i < 5000; ++i) big += static_cast<char>(i * 7);  // several 2048-byte blocks
  const fs::path from = Write("Prods3", big);
  const fs::path to = dir_ / "RProds.dad";
  ASSERT_TRUE(CopiaArquivo(from, to));
  EXPECT_EQ(Read(to), big);

  Write("RProds.dad", std::string(9000, 'x'));  // longer old content must not survive
  ASSERT_TRUE(CopiaArquivo(Write("small", "abc"), to));
  EXPECT_EQ(Read(to), "abc");
  EXPECT_FALSE(fs::exists(dir_ / "!Prods.dad"));
  EXPECT_EQ(Read(from), big);
}

TEST_F(FilesTest, CopyOfEmptyFileAndOntoItself) {
  ASSERT_TRUE(CopiaArquivo(Write("empty", ""), dir_ / "copy"));
  EXPECT_TRUE(fs::exists(dir_ / "copy"));
  EXPECT_EQ(fs::file_size(dir_ / "copy"), 0u);

  const fs::path same = Write("same.txt", "keep");
  ASSERT_TRUE(CopiaArquivo(same, same));
  EXPECT_EQ(Read(same), "keep");
}

TEST_F(FilesTest, CopyFailuresLeaveDestinationUntouched) {
  const fs::path to = Write("dest.txt", "old");
  EXPECT_FALSE(CopiaArquivo(dir_ / "missing.txt", to));
  EXPECT_EQ(Read(to), "old");
  EXPECT_FALSE(fs::exists(dir_ / "!est.txt"));

  // The temporary name of "abc" is "!bc": copying "!bc" there would destroy
  // the source.
  const fs::path source = Write("!bc", "src");
  EXPECT_FALSE(CopiaArquivo(source, dir_ / "abc"));
  EXPECT_EQ(Read(source), "src");

  EXPECT_FALSE(CopiaArquivo(Write("a", "x"), dir_ / "no_such_dir" / "b"));
  EXPECT_FALSE(CopiaArquivo(dir_ / "a", fs::path(dir_.string() + "/")));
}

TEST_F(FilesTest, ApagaArquivo) {
  const fs::path p = Write("gone.rec", "x");
  ApagaArquivo(p);
  EXPECT_FALSE(fs::exists(p));
  ApagaArquivo(p);  // absent: nothing happens
  fs::create_directory(dir_ / "sub");
  ApagaArquivo(dir_ / "sub");
  EXPECT_TRUE(fs::exists(dir_ / "sub"));
}

TEST(VersionTest, FourNumbers) {
  const std::string v = VersaoArquivo();
  int dots = 0;
  for (char c : v) {
    if (c == '.') ++dots;
    else EXPECT_TRUE(c >= '0' && c <= '9') << v;
  }
  EXPECT_EQ(dots, 3) << v;
  EXPECT_EQ(v, "1.0.0.1");
}

}  // namespace

}  // namespace kaslo
