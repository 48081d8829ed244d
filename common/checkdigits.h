// Check digits: the Brazilian company (CNPJ) and personal (CPF) tax
// numbers and EAN-13 product codes. Numbers come as floating values holding
// whole numbers, as the tables store them.
#pragma once

#include <string>

namespace kaslo {

// True when the 14-digit CNPJ has correct check digits; 0 counts as valid
// (a client without a tax number). Negative numbers and numbers of more
// than 14 digits are invalid.
bool ValidaCNPJ(double numero);

// True when the 11-digit CPF has correct check digits; 0 counts as valid.
// Negative numbers and numbers of more than 11 digits are invalid.
bool ValidaCPF(double numero);

// The two check digits d1d2 of a 12-digit CNPJ base, as text ("81" for
// 112223330001). A base of more digits is taken by its last 12; the sign is
// ignored.
std::string DigitosCNPJ(double base);

// The EAN-13 code of a 12-digit base: base * 10 + its check digit
// (789100000001 gives 7891000000014, 12 gives 123). The digits are weighted
// 3, 1, 3, ... from the right, which for longer bases is the GTIN rule. The
// sign is ignored.
double DigitoEAN(double base);

// A 13-digit code without its last (check) digit: the first 12 digits of
// the code written zero-filled in 13 places, read as a number
// (7891000000014 gives 789100000001).
double TiraDigito(double codigo);

}  // namespace kaslo
