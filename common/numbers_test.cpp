// Tests of the number routines: reading typed numbers, zero-filled and
// masked writing, bytes and packed decimal.
#include "common/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kaslo {

namespace {

TEST(NumbersTest, TextoParaNumero) {
  struct Case {
    std::string text;
    double want;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"   ", 0},
      {"-3,5", -3.5},
      {"1.234,56", 1234.56},
      {"1.234.567,8", 1234567.8},
      {"12,5", 12.5},
      {"12.5", 12.5},
      {"  7 ", 7},
      {"15kg", 15},
      {"R$ 3", 0},
      {"00001250", 1250},
      {" 1.234,56 ", 1234.56},
      // Malformed remainders read as far as they form a number.
      {"1.2.3", 1.2},
      {"1-2", 1},
      {"-.5", -0.5},
      {"5.", 5},
      {"-", 0},
      {".", 0},
      {"--1", 0},
      {"-0", 0},
      {"1 2", 1},
      {"1\t", 1},
      {std::string(400, '9'), 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(TextoParaNumero(c.text), c.want) << '"' << c.text << '"';
  EXPECT_FALSE(std::signbit(TextoParaNumero("-0")));
}

TEST(NumbersTest, TextoParaInteiro) {
  EXPECT_EQ(TextoParaInteiro(""), 0);
  EXPECT_EQ(TextoParaInteiro(" 42 "), 42);
  EXPECT_EQ(TextoParaInteiro("-17"), -17);
  EXPECT_EQ(TextoParaInteiro("0018"), 18);
  EXPECT_EQ(TextoParaInteiro("12,7"), 12);
  EXPECT_EQ(TextoParaInteiro("905A"), 905);
  EXPECT_EQ(TextoParaInteiro("ISS"), 0);
  EXPECT_EQ(TextoParaInteiro("7891000000014"), 7891000000014);
  EXPECT_EQ(TextoParaInteiro("99999999999999999999"), 0);
}

TEST(NumbersTest, NumeroParaTextoAndNumeroComZeros) {
  struct Case {
    std::string got, want;
  };
  const std::vector<Case> cases = {
      {NumeroComZeros(8, 2, 12.5), "00012.50"},
      {NumeroComZeros(3, 0, 7), "007"},
      {NumeroComZeros(2, 0, 123), "123"},  // never cut
      {NumeroComZeros(13, 0, 7891000000014), "7891000000014"},
      {NumeroComZeros(4, 0, -5), "00-5"},
      {NumeroComZeros(0, 0, 0), "0"},
      {NumeroParaTexto(8, 2, 12.5), "   12.50"},
      {NumeroParaTexto(0, 3, 1.5), "1.500"},
      {NumeroParaTexto(6, 2, -1.5), " -1.50"},
      // Half away from zero on the shortest decimal form.
      {NumeroParaTexto(0, 2, 2.675), "2.68"},
      {NumeroParaTexto(0, 2, 0.125), "0.13"},
      {NumeroParaTexto(0, 0, 0.5), "1"},
      {NumeroParaTexto(0, 0, 2.5), "3"},
      {NumeroParaTexto(0, 0, -2.5), "-3"},
      {NumeroParaTexto(0, 2, 9.995), "10.00"},
      {NumeroParaTexto(0, 0, 999.5), "1000"},
      {NumeroParaTexto(0, 2, 0.1 + 0.2), "0.30"},
      {NumeroParaTexto(0, 2, -0.001), "0.00"},  // no "-0.00"
      {NumeroParaTexto(5, -1, 3.7), "    4"},
      {NumeroParaTexto(0, 0, std::nan("")), "0"},
      {NumeroParaTexto(0, 1, std::numeric_limits<double>::infinity()), "0.0"},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
  EXPECT_EQ(NumeroParaTexto(0, 0, 1e300).size(), 301u);
}

TEST(NumbersTest, FormataMascara) {
  struct Case {
    const char* mask;
    double value;
    const char* want;
  };
  const std::vector<Case> cases = {
      {"######,##", 1250, "000012.50"},
      {"00;000;000/0000-00", 12345678000195, "12.345.678/0001-95"},
      {"000;000;000-00", 12345678909, "123.456.789-09"},
      {"##/##/####", 31122007, "31/12/2007"},
      {"##/##/####", 1012008, "01/01/2008"},
      {"##,##", 525, "05.25"},
      {"#####,###", 12345.6, "00012.346"},  // rounded to whole units first
      {"######,##", 0, "000000.00"},
      // More digits than places: nothing is cut.
      {"######,##", 123456789, "1234567.89"},
      {"##,##", 1234567, "12345.67"},
      // Negatives: sign over the first leading zero, else in front.
      {"######,##", -1250, "-00012.50"},
      {"#,##", -5, "-0.05"},
      {"##,##", -1234, "-12.34"},
      {"##,##", -0.2, "00.00"},
      {"", 0, "0"},
      {"", 42, "42"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormataMascara(c.mask, c.value), c.want) << c.mask << " " << c.value;
}

TEST(NumbersTest, FormataMascaraReadsBack) {
  for (double cents : {1250.0, 1.0, 99999999.0, 123456789.0, -1250.0, -5.0, -123456789.0})
    EXPECT_DOUBLE_EQ(TextoParaNumero(FormataMascara("######,##", cents)), cents / 100) << cents;
}

TEST(NumbersTest, Bytes) {
  EXPECT_EQ(ByteParaHex(0x0A), "0A");
  EXPECT_EQ(ByteParaHex(0xFF), "FF");
  EXPECT_EQ(ByteParaHex(0), "00");
  EXPECT_EQ(ByteParaBinario(5), "00000101");
  EXPECT_EQ(ByteParaBinario(0), "00000000");
  EXPECT_EQ(ByteParaBinario(0x80), "10000000");
  EXPECT_EQ(BinarioParaInteiro("00000101"), 5u);
  EXPECT_EQ(BinarioParaInteiro("1x1"), 5u);  // not "1" counts as 0
  EXPECT_EQ(BinarioParaInteiro(""), 0u);
  EXPECT_EQ(BinarioParaInteiro("1" + std::string(64, '0')), 0u);  // 65th bit dropped
  EXPECT_EQ(BinarioParaInteiro(std::string(64, '1')), ~uint64_t{0});
  for (int b = 0; b < 256; ++b) EXPECT_EQ(BinarioParaInteiro(ByteParaBinario(static_cast<uint8_t>(b))), uint64_t(b));
}

TEST(NumbersTest, CompactaBCD) {
  EXPECT_EQ(CompactaBCD("1234"), std::string("\x12\x34"));
  EXPECT_EQ(CompactaBCD("123"), std::string("\x01\x23"));
  EXPECT_EQ(CompactaBCD("99"), std::string("\x99"));
  EXPECT_EQ(CompactaBCD("0000"), std::string("\0\0", 2));
  EXPECT_EQ(CompactaBCD(""), "");
  EXPECT_EQ(CompactaBCD(" 5"), std::string("\x05"));
}

TEST(NumbersTest, Se) {
  EXPECT_EQ(Se(true, 1, 2), 1);
  EXPECT_EQ(Se(false, std::string("a"), "b"), "b");
}

}  // namespace

}  // namespace kaslo
