// Number routines: Brazilian-notation reading, zero-filled and masked
// writing, hexadecimal, binary and packed-decimal bytes.
#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/text.h"

namespace kaslo {

namespace {

constexpr std::string_view kNumberCharacters = "0123456789.-";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The common first steps of TextoParaNumero and TextoParaInteiro, once the
// thousands points are gone: "," to ".", trim, cut at the first foreign
// character.
std::string NumberRemainder(std::string texto) {
  for (char& c : texto)
    if (c == ',') c = '.';
  texto = Apara(texto);
  const size_t cut = texto.find_first_not_of(kNumberCharacters);
  if (cut != std::string::npos) texto.resize(cut);
  return texto;
}

// Adds one unit to a string of decimal digits, growing it on carry-out.
void IncrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

bool IsSeparator(char c) { return c == ',' || c == ';' || c == '/' || c == '-'; }

char SeparatorOutput(char c) { return c == ',' || c == ';' ? '.' : c; }

}  // namespace

double TextoParaNumero(std::string_view texto) {
  std::string t(texto);
  if (t.find('.') != std::string::npos && t.find(',') != std::string::npos) t = RemoveTexto(t, ".");
  t = NumberRemainder(std::move(t));
  double value = 0;
  // from_chars reads the longest well-formed prefix of what is left.
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || !std::isfinite(value) || value == 0) return 0;
  return value;
}

int64_t TextoParaInteiro(std::string_view texto) {
  const std::string t = NumberRemainder(std::string(texto));
  int64_t value = 0;
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  return ec == std::errc() ? value : 0;
}

std::string NumeroParaTexto(int largura, int decimais, double valor) {
  if (!std::isfinite(valor)) valor = 0;
  const size_t places = decimais > 0 ? static_cast<size_t>(decimais) : 0;
  // The shortest fixed form of a double is at most 326 characters (the
  // smallest subnormal); 1e308 takes 309.
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(valor), std::chars_format::fixed);
  std::string_view shortest(buffer, ec == std::errc() ? static_cast<size_t>(end - buffer) : 0);
  const size_t point = shortest.find('.');
  std::string whole(shortest.substr(0, point));
  std::string fraction(point == std::string_view::npos ? std::string_view() : shortest.substr(point + 1));
  if (whole.empty()) whole.assign(1, '0');

  bool round_up = false;
  if (fraction.size() > places) {
    round_up = fraction[places] >= '5';
    fraction.resize(places);
  } else {
    fraction.append(places - fraction.size(), '0');
  }
  if (round_up) {
    std::string digits = whole + fraction;
    IncrementDigits(digits);
    whole = digits.substr(0, digits.size() - places);
    fraction = digits.substr(digits.size() - places);
  }

  const bool zero = whole.find_first_not_of('0') == std::string::npos &&
                    fraction.find_first_not_of('0') == std::string::npos;
  std::string out = (valor < 0 && !zero) ? "-" : "";
  out += whole;
  if (places > 0) out += "." + fraction;
  if (largura > 0 && out.size() < static_cast<size_t>(largura)) out.insert(0, static_cast<size_t>(largura) - out.size(), ' ');
  return out;
}

std::string NumeroComZeros(int largura, int decimais, double valor) {
  std::string out = NumeroParaTexto(largura, decimais, valor);
  for (char& c : out)
    if (c == ' ') c = '0';
  return out;
}

std::string FormataMascara(std::string_view mascara, double valor) {
  size_t places = 0;
  for (char c : mascara)
    if (!IsSeparator(c)) ++places;
  std::string digits = NumeroComZeros(static_cast<int>(places), 0, std::fabs(valor));
  const bool negative = valor < 0 && digits.find_first_not_of('0') != std::string::npos;

  // Digits the mask has no place for stay in front, uncut.
  const size_t extra = digits.size() > places ? digits.size() - places : 0;
  std::string out = digits.substr(0, extra);
  size_t next = extra;
  for (char c : mascara) out.push_back(IsSeparator(c) ? SeparatorOutput(c) : digits[next++]);

  for (char& c : out) {
    if (IsDigit(c) || c == '-') break;
    c = ' ';
  }
  out = SubstituiTexto(out, "-.", " -");

  if (negative) {
    if (out.size() > 1 && out[0] == '0' && IsDigit(out[1]))
      out[0] = '-';
    else
      out.insert(out.begin(), '-');
  }
  return out;
}

std::string ByteParaHex(uint8_t b) {
  constexpr std::string_view kHex = "0123456789ABCDEF";
  return {kHex[b >> 4], kHex[b & 0x0F]};
}

std::string ByteParaBinario(uint8_t b) {
  std::string out(8, '0');
  for (int bit = 0; bit < 8; ++bit)
    if (b & (1u << bit)) out[7 - bit] = '1';
  return out;
}

uint64_t BinarioParaInteiro(std::string_view texto) {
  uint64_t value = 0;
  const size_t bits = std::min<size_t>(texto.size(), 64);
  for (size_t k = 0; k < bits; ++k)
    if (texto[texto.size() - 1 - k] == '1') value |= uint64_t{1} << k;
  return value;
}

std::string CompactaBCD(std::string_view texto) {
  std::string digits(texto);
  if (digits.size() % 2 != 0) digits.insert(digits.begin(), '0');
  auto value = [](char c) { return IsDigit(c) ? c - '0' : 0; };
  std::string out;
  out.reserve(digits.size() / 2);
  for (size_t i = 0; i < digits.size(); i += 2)
    out.push_back(static_cast<char>(value(digits[i]) * 16 + value(digits[i + 1])));
  return out;
}

}  // namespace kaslo
