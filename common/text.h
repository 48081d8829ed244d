// Text routines shared by every record, load file and interchange file
// writer: padding, trimming, digit extraction and comma-separated fields.
//
// Texts are Latin-1 byte strings. Positions are 1-based, as the callers count
// the columns of fixed-width records. "Blank" means the space character only:
// tabs and other white space are kept as ordinary characters.
#pragma once

#include <string>
#include <string_view>

namespace kaslo {

// n blanks; empty for n <= 0.
std::string Espacos(int n);

// texto repeated n times; empty for n <= 0.
std::string Replica(std::string_view texto, int n);

// The first n characters of texto when it is longer, else texto followed by
// blanks up to exactly n characters. Empty for n <= 0.
std::string CompletaDireita(std::string_view texto, int n);

// When texto is shorter than n: texto followed by preenchimento repeated
// (n - length) times, so a one-character filler gives exactly n characters
// and a longer filler gives more. Otherwise the first n characters.
std::string CompletaCom(std::string_view texto, std::string_view preenchimento, int n);

// texto without leading and trailing blanks.
std::string Apara(std::string_view texto);

// True when texto holds nothing but blanks.
bool Vazio(std::string_view texto);

// texto with every blank removed.
std::string TiraEspacos(std::string_view texto);

// Only the characters "0" to "9" of texto, in order.
std::string SoDigitos(std::string_view texto);

// The digits of texto cut to their last n, then left-filled with "0" to n:
// ZerosEsquerda("12.345-6", 4) is "3456", ZerosEsquerda("7", 3) is "007".
// Empty for n <= 0.
std::string ZerosEsquerda(std::string_view texto, int n);

// texto with every ".", "-" and "/" removed (a tax number without its mask).
std::string TiraMascara(std::string_view texto);

// texto with every occurrence of parte removed (exact case). An empty parte
// leaves texto unchanged.
std::string RemoveTexto(std::string_view texto, std::string_view parte);

// Every occurrence of procura, found without regard to letter case (Latin-1
// letters included), replaced by novo. After a replacement the search goes
// on as if started again from the beginning, so a match formed by the new
// text and what precedes or follows it is replaced too. Always terminates:
// when novo itself contains procura, or replacements keep feeding each other,
// each occurrence is replaced once and the search continues after novo. An
// empty procura leaves texto unchanged.
std::string SubstituiTexto(std::string_view texto, std::string_view procura, std::string_view novo);

// Position (1-based) of the last occurrence of parte in texto; 0 when it is
// absent or parte is empty.
int UltimaPosicao(std::string_view parte, std::string_view texto);

// texto without its first n characters (all of it for n <= 0, empty when n
// reaches its length).
std::string CortaInicio(int n, std::string_view texto);

// Field n (from 1) of a comma-separated line. A double quote opens a stretch
// that runs to the next double quote, commas included; the quotes are never
// part of the value and there is no escape for a quote inside. A line with
// fewer fields, or n < 1, gives an empty text. An unclosed quote runs to the
// end of the line.
std::string CampoCSV(int n, std::string_view linha);

}  // namespace kaslo
