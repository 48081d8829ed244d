// CNPJ, CPF and EAN-13 check digits.
#include "common/checkdigits.h"

#include <array>
#include <cmath>

#include "common/numbers.h"
#include "common/text.h"

namespace kaslo {

namespace {

constexpr std::array<int, 12> kCnpjFirstWeights = {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
constexpr std::array<int, 13> kCnpjSecondWeights = {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};

int Digit(const std::string& digits, size_t i) { return digits[i] - '0'; }

// The zero-filled digits of a whole number in exactly `places` places, or ""
// when it is negative or needs more places.
std::string ExactDigits(double numero, int places) {
  std::string digits = NumeroComZeros(places, 0, numero);
  if (digits.size() != static_cast<size_t>(places) || SoDigitos(digits).size() != digits.size()) return {};
  return digits;
}

}  // namespace

bool ValidaCNPJ(double numero) {
  if (numero == 0) return true;
  const std::string c = ExactDigits(numero, 14);
  if (c.empty()) return false;
  int s1 = 0;
  for (size_t i = 0; i < 12; ++i) s1 += Digit(c, i) * kCnpjFirstWeights[i];
  int d1 = (s1 * 10) % 11;
  if (d1 == 10) d1 = 0;
  int s2 = 0;
  for (size_t i = 0; i < 13; ++i) s2 += Digit(c, i) * kCnpjSecondWeights[i];
  int d2 = 11 - s2 % 11;
  if (d2 >= 10) d2 = 0;
  return Digit(c, 12) == d1 && Digit(c, 13) == d2;
}

bool ValidaCPF(double numero) {
  const std::string c = ExactDigits(numero, 11);
  if (c.empty()) return false;
  constexpr std::string_view kCheck = "01234567890";
  for (size_t k = 1; k <= 2; ++k) {
    int s = 0;
    for (size_t j = 1; j <= 8 + k; ++j) s += Digit(c, j - 1) * static_cast<int>(10 + k - j) * 10;
    if (c[8 + k] != kCheck[static_cast<size_t>(s % 11)]) return false;
  }
  return true;
}

std::string DigitosCNPJ(double base) {
  const std::string c = ZerosEsquerda(NumeroComZeros(12, 0, std::fabs(base)), 12);
  auto check = [](int r) { return r < 2 ? 0 : 11 - r; };
  int s1 = 0;
  int s2 = 0;
  for (size_t i = 0; i < 12; ++i) {
    s1 += Digit(c, i) * kCnpjFirstWeights[i];
    s2 += Digit(c, i) * kCnpjSecondWeights[i];
  }
  const int d1 = check(s1 % 11);
  const int d2 = check((s2 + d1 * 2) % 11);
  return NumeroComZeros(2, 0, d1 * 10 + d2);
}

double DigitoEAN(double base) {
  const double whole = std::fabs(std::round(base));
  const std::string c = NumeroComZeros(12, 0, whole);
  int s = 0;
  int weight = 3;
  for (size_t i = c.size(); i-- > 0; weight = 4 - weight) s += Digit(c, i) * weight;
  const int digit = (10 - s % 10) % 10;
  return whole * 10 + digit;
}

double TiraDigito(double codigo) { return TextoParaNumero(NumeroComZeros(13, 0, codigo).substr(0, 12)); }

}  // namespace kaslo
