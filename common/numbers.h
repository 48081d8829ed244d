// Number routines: reading numbers typed in Brazilian or plain notation,
// writing them zero-filled or into a digit mask, bytes as hexadecimal or
// binary digits, and packed decimal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace kaslo {

// The floating value of a number typed or stored in Brazilian ("1.234,56")
// or plain ("1234.56") notation: when the text holds both "." and ",", the
// points are thousands separators and go; "," then becomes the decimal point;
// blanks around are trimmed; the text is cut before its first character
// outside "0123456789.-" ("15kg" is 15, "R$ 3" is 0). An empty remainder
// gives 0.
// A remainder that is still no well-formed number is read as far as it is
// one: "1.2.3" is 1.2, "1-2" is 1, "-.5" is -0.5; nothing readable ("-",
// ".", "--1") gives 0, and so does a number beyond the range of double.
double TextoParaNumero(std::string_view texto);

// The whole number of a text: "," becomes ".", blanks around are trimmed, the
// text is cut before its first character outside "0123456789.-", and the
// optional minus and the digits that follow are read; the reading stops at
// a point, so "12.7" is 12. Nothing readable, or a number beyond 64 bits,
// gives 0.
int64_t TextoParaInteiro(std::string_view texto);

// valor with decimais decimals (point as separator), right-aligned with
// leading blanks in a field of at least largura characters. Rounding is half
// away from zero on the shortest decimal form of valor, so 2.675 gives
// "2.68" and 0.5 with no decimals "1". A value that rounds to zero has no
// sign; NaN and infinities are written as 0. Negative widths and decimals
// count as 0.
std::string NumeroParaTexto(int largura, int decimais, double valor);

// NumeroParaTexto with every blank replaced by "0": (8, 2, 12.5) gives
// "00012.50", (3, 0, 7) gives "007". A negative value keeps its sign after
// the zeros ((4, 0, -5) gives "00-5"), as the fixed-width writers expect it.
std::string NumeroComZeros(int largura, int decimais, double valor);

// valor, rounded to a whole number, laid into a digit mask: "#" and "0" are
// digit places; ",", ";", "/" and "-" are separators written as ".", ".",
// "/" and "-". 1250 with "######,##" gives "000012.50", 12345678000195 with
// "00;000;000/0000-00" gives "12.345.678/0001-95", 31122007 with
// "##/##/####" gives "31/12/2007". Leading characters that are neither
// digits nor "-" become blanks and "-." becomes " -".
// Values the mask cannot hold are never cut, so that TextoParaNumero reads
// the result back as the value laid in:
// - more digits than places: the extra leading digits go in front of the
//   mask (123456789 with "######,##" gives "1234567.89");
// - negative values: the digits of the absolute value are laid in and a "-"
//   takes the place of the first leading zero when one is followed by a
//   digit, otherwise it goes in front (-1250 with "######,##" gives
//   "-00012.50", -5 with "#,##" gives "-0.05", -1234 with "##,##" gives
//   "-12.34").
std::string FormataMascara(std::string_view mascara, double valor);

// Two upper-case hexadecimal digits: 10 gives "0A".
std::string ByteParaHex(uint8_t b);

// Eight "0"/"1" characters, most significant bit first: 5 gives "00000101".
std::string ByteParaBinario(uint8_t b);

// The number whose bit k is set when the k-th character from the right
// (k from 0) is "1"; any other character counts as 0, and characters beyond
// the 64th from the right are ignored.
uint64_t BinarioParaInteiro(std::string_view texto);

// Packed decimal: a "0" goes in front of a digit string of odd length, then
// each pair of digits d1 d2 becomes one byte 16*d1 + d2 ("1234" gives the
// bytes 0x12 0x34). A character that is not a digit counts as 0.
std::string CompactaBCD(std::string_view texto);

// a when condicao holds, else b.
template <typename A, typename B>
constexpr std::common_type_t<A, B> Se(bool condicao, A a, B b) {
  if (condicao) return a;
  return b;
}

}  // namespace kaslo
