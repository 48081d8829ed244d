// Tests of the text routines: padding, digits, replace and CSV fields.
#include "common/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kaslo {

namespace {

TEST(TextTest, PaddingAndCutting) {
  struct Case {
    std::string got, want;
  };
  const std::vector<Case> cases = {
      {CompletaDireita("ABC", 5), "ABC  "},
      {CompletaDireita("ABCDEF", 3), "ABC"},
      {CompletaDireita("ABC", 3), "ABC"},
      {CompletaDireita("ABC", 0), ""},
      {CompletaDireita("ABC", -2), ""},
      {CompletaCom("12", "0", 5), "12000"},
      {CompletaCom("12", "ab", 4), "12abab"},  // a longer filler overshoots
      {CompletaCom("123456", "0", 4), "1234"},
      {CompletaCom("12", "", 4), "12"},
      {Espacos(3), "   "},
      {Espacos(0), ""},
      {Espacos(-1), ""},
      {Replica("ab", 3), "ababab"},
      {Replica("ab", 0), ""},
      {CortaInicio(2, "ABCDE"), "CDE"},
      {CortaInicio(0, "ABC"), "ABC"},
      {CortaInicio(-3, "ABC"), "ABC"},
      {CortaInicio(3, "ABC"), ""},
      {CortaInicio(10, "ABC"), ""},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

TEST(TextTest, BlanksAreOnlyTheSpaceCharacter) {
  EXPECT_EQ(Apara("  a b  "), "a b");
  EXPECT_EQ(Apara("\tab\t"), "\tab\t");
  EXPECT_EQ(Apara("    "), "");
  EXPECT_EQ(Apara(""), "");
  EXPECT_TRUE(Vazio(""));
  EXPECT_TRUE(Vazio("   "));
  EXPECT_FALSE(Vazio(" \t "));
  EXPECT_FALSE(Vazio(" x "));
  EXPECT_EQ(TiraEspacos(" a b\tc "), "ab\tc");
}

TEST(TextTest, DigitsAndMasks) {
  EXPECT_EQ(SoDigitos("12.345-6/a7"), "1234567");
  EXPECT_EQ(SoDigitos("abc"), "");
  EXPECT_EQ(ZerosEsquerda("12.345-6", 4), "3456");
  EXPECT_EQ(ZerosEsquerda("7", 3), "007");
  EXPECT_EQ(ZerosEsquerda("", 3), "000");
  EXPECT_EQ(ZerosEsquerda("123", 3), "123");
  EXPECT_EQ(ZerosEsquerda("123", 0), "");
  EXPECT_EQ(TiraMascara("11.222.333/0001-81"), "11222333000181");
  EXPECT_EQ(TiraMascara("a b,c"), "a b,c");
}

TEST(TextTest, RemoveAndPositions) {
  EXPECT_EQ(RemoveTexto("a,b,,c", ","), "abc");
  EXPECT_EQ(RemoveTexto("AbAB", "ab"), "AbAB");  // exact case only
  EXPECT_EQ(RemoveTexto("aaaa", "aa"), "");
  EXPECT_EQ(RemoveTexto("abc", ""), "abc");
  EXPECT_EQ(UltimaPosicao("ab", "abxxab"), 5);
  EXPECT_EQ(UltimaPosicao("ab", "ab"), 1);
  EXPECT_EQ(UltimaPosicao("zz", "abc"), 0);
  EXPECT_EQ(UltimaPosicao("", "abc"), 0);
  EXPECT_EQ(UltimaPosicao("abcd", "abc"), 0);
}

TEST(TextTest, SubstituiTextoIgnoresCase) {
  EXPECT_EQ(SubstituiTexto("Preço PRECO preco", "preco", "X"), "Preço X X");
  // Latin-1 accented letters match their other case: \xC7 is Ç, \xE7 ç.
  EXPECT_EQ(SubstituiTexto("PRE\xC7O pre\xE7o", "pre\xE7o", "p"), "p p");
  EXPECT_EQ(SubstituiTexto("abc", "", "x"), "abc");
  EXPECT_EQ(SubstituiTexto("abc", "b", ""), "ac");
}

TEST(TextTest, SubstituiTextoSearchesAgainAfterEachReplacement) {
  // As if restarting from the beginning: the new text and its left side
  // form another match, which is replaced as well.
  EXPECT_EQ(SubstituiTexto("aab", "ab", "b"), "b");
  EXPECT_EQ(SubstituiTexto("-.5", "-.", " -"), " -5");
}

TEST(TextTest, SubstituiTextoTerminatesWhenTheNewTextHoldsTheSearch) {
  EXPECT_EQ(SubstituiTexto("a-b", "-", "--"), "a--b");
  EXPECT_EQ(SubstituiTexto("xAx", "a", "bAb"), "xbAbx");
  // Ever-growing cascade (each replacement makes a new match on its left).
  const std::string grown = SubstituiTexto("aab", "ab", "bbaa");
  EXPECT_FALSE(grown.empty());
}

TEST(TextTest, CampoCSV) {
  const std::string line = "a,\"b,c\",d";
  EXPECT_EQ(CampoCSV(1, line), "a");
  EXPECT_EQ(CampoCSV(2, line), "b,c");
  EXPECT_EQ(CampoCSV(3, line), "d");
  EXPECT_EQ(CampoCSV(4, line), "");
  EXPECT_EQ(CampoCSV(4, "a,b"), "");
  EXPECT_EQ(CampoCSV(0, "a,b"), "");
  EXPECT_EQ(CampoCSV(2, "a,,c"), "");
  EXPECT_EQ(CampoCSV(3, "a,,c"), "c");
  EXPECT_EQ(CampoCSV(2, "a,b,"), "b");
  EXPECT_EQ(CampoCSV(3, "a,b,"), "");
  EXPECT_EQ(CampoCSV(1, "x\"y,z\"w,v"), "xy,zw");  // quotes mid-field
  EXPECT_EQ(CampoCSV(1, "\"open,to the end"), "open,to the end");
  EXPECT_EQ(CampoCSV(1, ""), "");
}

}  // namespace

}  // namespace kaslo
