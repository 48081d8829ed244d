// Tests of the CNPJ, CPF and EAN-13 check digits.
#include "common/checkdigits.h"

#include <gtest/gtest.h>

#include <string>

namespace kaslo {

namespace {

TEST(CheckDigitsTest, ValidaCNPJ) {
  EXPECT_TRUE(ValidaCNPJ(0));
  EXPECT_TRUE(ValidaCNPJ(11222333000181));
  EXPECT_FALSE(ValidaCNPJ(11222333000182));
  EXPECT_FALSE(ValidaCNPJ(11222333000191));
  EXPECT_TRUE(ValidaCNPJ(12345678000195));
  EXPECT_FALSE(ValidaCNPJ(-11222333000181));
  EXPECT_FALSE(ValidaCNPJ(111222333000181));  // 15 digits
}

TEST(CheckDigitsTest, CnpjSecondDigitOfTenOrElevenIsZero) {
  // Bases whose second sum leaves remainder 0 or 1 (11 - r is 11 or 10):
  // the number must end in 0 and no other last digit passes.
  EXPECT_TRUE(ValidaCNPJ(11222333001820));
  EXPECT_FALSE(ValidaCNPJ(11222333001821));
  int found = 0;
  for (double base = 100000000001; base < 100000000200 && found < 3; ++base) {
    const std::string d = DigitosCNPJ(base);
    if (d[1] != '0') continue;
    const double valid = base * 100 + std::stoi(d);
    EXPECT_TRUE(ValidaCNPJ(valid)) << valid;
    for (int wrong = 1; wrong <= 9; ++wrong) EXPECT_FALSE(ValidaCNPJ(valid + wrong)) << valid + wrong;
    ++found;
  }
  EXPECT_EQ(found, 3);
}

TEST(CheckDigitsTest, DigitosCNPJAgreesWithValidaCNPJ) {
  EXPECT_EQ(DigitosCNPJ(112223330001), "81");
  EXPECT_EQ(DigitosCNPJ(123456780001), "95");
  for (double base = 1; base < 400000; base += 997) {
    const double number = base * 100 + std::stoi(DigitosCNPJ(base));
    EXPECT_TRUE(ValidaCNPJ(number)) << number;
    EXPECT_FALSE(ValidaCNPJ(number + (static_cast<long long>(number) % 10 == 9 ? -1 : 1))) << number;
  }
}

TEST(CheckDigitsTest, ValidaCPF) {
  EXPECT_TRUE(ValidaCPF(0));
  EXPECT_TRUE(ValidaCPF(12345678909));
  EXPECT_FALSE(ValidaCPF(12345678908));
  EXPECT_FALSE(ValidaCPF(12345678919));
  EXPECT_TRUE(ValidaCPF(11144477735));
  EXPECT_TRUE(ValidaCPF(52998224725));
  EXPECT_FALSE(ValidaCPF(123456789090));  // 12 digits
  EXPECT_FALSE(ValidaCPF(-12345678909));
}

TEST(CheckDigitsTest, Ean13) {
  EXPECT_DOUBLE_EQ(DigitoEAN(789100000001), 7891000000014);
  EXPECT_DOUBLE_EQ(DigitoEAN(12), 123);
  EXPECT_DOUBLE_EQ(DigitoEAN(0), 0);
  EXPECT_DOUBLE_EQ(DigitoEAN(400638133393), 4006381333931);
  EXPECT_DOUBLE_EQ(DigitoEAN(1), 17);  // sum 3
  EXPECT_DOUBLE_EQ(DigitoEAN(5), 55);  // sum 15
}

TEST(CheckDigitsTest, TiraDigito) {
  EXPECT_DOUBLE_EQ(TiraDigito(7891000000014), 789100000001);
  EXPECT_DOUBLE_EQ(TiraDigito(123), 12);
  EXPECT_DOUBLE_EQ(TiraDigito(7), 0);
  for (double base : {1.0, 42.0, 789100000001.0, 999999999999.0})
    EXPECT_DOUBLE_EQ(TiraDigito(DigitoEAN(base)), base) << base;
  EXPECT_DOUBLE_EQ(TiraDigito(-5), 0);
}

}  // namespace

}  // namespace kaslo
