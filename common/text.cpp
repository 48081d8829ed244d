// Text routines: padding, trimming, digits, search and replace, CSV fields.
#include "common/text.h"

#include <algorithm>

namespace kaslo {

namespace {

constexpr char kBlank = ' ';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Upper case of a Latin-1 byte: a-z and the accented letters à-þ (except ÷,
// which is no letter). ß and ÿ have no single-byte upper case and stay.
unsigned char UpperLatin1(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

std::string UpperLatin1(std::string_view texto) {
  std::string out(texto);
  for (char& c : out) c = static_cast<char>(UpperLatin1(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

std::string Espacos(int n) { return n > 0 ? std::string(static_cast<size_t>(n), kBlank) : std::string(); }

std::string Replica(std::string_view texto, int n) {
  std::string out;
  if (n <= 0) return out;
  out.reserve(texto.size() * static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) out.append(texto);
  return out;
}

std::string CompletaDireita(std::string_view texto, int n) { return CompletaCom(texto, " ", n); }

std::string CompletaCom(std::string_view texto, std::string_view preenchimento, int n) {
  if (n <= 0) return {};
  const size_t width = static_cast<size_t>(n);
  if (texto.size() >= width) return std::string(texto.substr(0, width));
  return std::string(texto) + Replica(preenchimento, static_cast<int>(width - texto.size()));
}

std::string Apara(std::string_view texto) {
  const size_t begin = texto.find_first_not_of(kBlank);
  if (begin == std::string_view::npos) return {};
  const size_t end = texto.find_last_not_of(kBlank);
  return std::string(texto.substr(begin, end - begin + 1));
}

bool Vazio(std::string_view texto) { return texto.find_first_not_of(kBlank) == std::string_view::npos; }

std::string TiraEspacos(std::string_view texto) {
  std::string out;
  out.reserve(texto.size());
  for (char c : texto)
    if (c != kBlank) out.push_back(c);
  return out;
}

std::string SoDigitos(std::string_view texto) {
  std::string out;
  out.reserve(texto.size());
  for (char c : texto)
    if (IsDigit(c)) out.push_back(c);
  return out;
}

std::string ZerosEsquerda(std::string_view texto, int n) {
  if (n <= 0) return {};
  const size_t width = static_cast<size_t>(n);
  std::string digits = SoDigitos(texto);
  if (digits.size() > width) return digits.substr(digits.size() - width);
  return std::string(width - digits.size(), '0') + digits;
}

std::string TiraMascara(std::string_view texto) {
  std::string out;
  out.reserve(texto.size());
  for (char c : texto)
    if (c != '.' && c != '-' && c != '/') out.push_back(c);
  return out;
}

std::string RemoveTexto(std::string_view texto, std::string_view parte) {
  if (parte.empty()) return std::string(texto);
  std::string out;
  out.reserve(texto.size());
  size_t from = 0;
  for (size_t at = texto.find(parte); at != std::string_view::npos; at = texto.find(parte, from)) {
    out.append(texto.substr(from, at - from));
    from = at + parte.size();
  }
  out.append(texto.substr(from));
  return out;
}

std::string SubstituiTexto(std::string_view texto, std::string_view procura, std::string_view novo) {
  std::string out(texto);
  if (procura.empty()) return out;
  const std::string key = UpperLatin1(procura);
  std::string upper = UpperLatin1(texto);
  const std::string upper_novo = UpperLatin1(novo);
  // Restarting from the beginning would loop for ever when novo brings its
  // own match, and could in principle keep cascading; past this budget each
  // match is replaced once.
  bool restart = upper_novo.find(key) == std::string::npos;
  size_t budget = 4 * texto.size() + 16;
  size_t from = 0;
  for (size_t at = upper.find(key, from); at != std::string::npos; at = upper.find(key, from)) {
    out.replace(at, key.size(), novo);
    upper.replace(at, key.size(), upper_novo);
    if (restart && budget-- == 0) restart = false;
    // The text before the match had none, so a fresh search from the
    // beginning cannot find one that ends before the replaced stretch.
    from = restart ? (at + 1 > key.size() ? at + 1 - key.size() : 0) : at + novo.size();
  }
  return out;
}

int UltimaPosicao(std::string_view parte, std::string_view texto) {
  if (parte.empty()) return 0;
  const size_t at = texto.rfind(parte);
  return at == std::string_view::npos ? 0 : static_cast<int>(at + 1);
}

std::string CortaInicio(int n, std::string_view texto) {
  if (n <= 0) return std::string(texto);
  const size_t cut = static_cast<size_t>(n);
  return cut >= texto.size() ? std::string() : std::string(texto.substr(cut));
}

std::string CampoCSV(int n, std::string_view linha) {
  std::string field;
  if (n < 1) return field;
  int counter = 1;
  bool quoted = false;
  for (char c : linha) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      if (counter == n) return field;
      ++counter;
    } else if (counter == n) {
      field.push_back(c);
    }
  }
  return counter == n ? field : std::string();
}

}  // namespace kaslo
