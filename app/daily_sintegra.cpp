// The daily SINTEGRA generator. It reads the LOG text of a terminal, one
// LOG record a line: the record's bytes as upper-case hexadecimal pairs,
// except the raw text tails (from the 24th byte of a 0x63 record, from the
// 3rd of a 0x60 0x01 record), and "CC" at the end. Positions count the
// line's characters from 1:
//
//   CODE   FIELDS                                      EFFECT
//   FB FC  3-4 day, 5-6 month, 7-10 year               new date; receipt cancelled
//   FE     3-4 day, 5-6 month, 7-10 year               new date; receipt closed
//   60 01  5..length-2 serial number (raw)             current serial
//   60 02  5-6 day, 7-8 month, 9-12 year, 14-16 order  the reduction: 60M, then
//          number, 17-22 first counter, 23-34 last     its waiting 60A lines
//          and reduction counters, 38-40 restarts,
//          41-50 gross sales, 51-60 grand total
//   60 03 05 06 07 08  5-14 value                      waiting 60A CANC DESC F I N
//   60 12..21  5-8 rate, 9-18 value                    waiting 60A of a rate
//   61     3-14 product                                item cancelled
//   63     3-14 product, 15-30 value, 31-38 quantity,  item sold
//          41-42 totalizer, 43-46 rate, 47-66 text
//   52     5-23 a number                               none
//   53     5-23 adjustment                             pending adjustment
//
// Lines written (position, width, content), each 126 characters:
//   60M:  1 3 "60M", 4 8 date, 12 20 serial, 32 3 order number, 35 2 "2D",
//        37 6 first counter, 43 12 last and reduction counters, 55 3
//        restarts, 58 16 gross sales, 74 16 grand total, 90 37 blanks
//   60A:  1 3 "60A", 4 8 date, 12 20 serial, 32 4 tax field, 36 12 value,
//        48 79 blanks
//   60D:  1 3 "60D", 4 8 date, 12 20 serial, 32 14 product, 46 13 quantity,
//        59 16 value, 75 16 net value, 91 4 tax code, 95 13 tax, 108 19 blanks
//   75:   1 2 "75", 3 8 date, 11 8 date, 19 14 product, 33 8 blanks, 41 53
//        description, 94 6 "UN", 100 5 "00000", 105 4 rate, 109 18 zeros
#include "app/daily_sintegra.h"

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <vector>

#include "comm/sintegra_header.h"
#include "common/clock.h"
#include "common/encoding.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/text.h"
#include "db/error.h"
#include "db/tables/ycoter.h"

namespace kaslo::app {
namespace {

// The receipt store and the day store live in memory; files of these names
// are removed at the start and at the end of a call, as nothing else reads
// them.
constexpr const char* kWorkingFiles[] = {"cupom.dat", "cupom.idx", "r60d.dat", "r60d.idx"};

// A LOG line that does not hold what its code says.
struct MalformedLine {
  size_t line_number;
};

// One item of the receipt in progress, or the items of one product on one
// day. Amounts are whole numbers (cents, thousandths of a unit).
struct Item {
  std::string code;         // 12 digits
  std::string description;  // raw text of the LOG
  std::string serial;       // 20 characters, blank-padded
  std::string tax_code;     // "1800", "F   ", "I   ", "N   ", "ISS "
  std::string date;         // yyyymmdd
  int64_t value = 0;
  int64_t net = 0;
  int64_t quantity = 0;
  int64_t adjustment = 0;
};

bool AllDigits(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// A whole number of up to 18 significant digits; longer fields keep their
// last 18 digits, which no amount of a store reaches.
int64_t Whole(std::string_view digits) {
  if (digits.size() > 18) digits = digits.substr(digits.size() - 18);
  return std::stoll(std::string(digits));
}

std::string Amount(int64_t v, int width) { return ZerosEsquerda(std::to_string(v < 0 ? 0 : v), width); }

class LineReader {
 public:
  LineReader(std::string_view line, size_t number) : line_(line), number_(number) {}

  // Characters pos..pos+len-1 (1-based); a line too short is malformed.
  std::string_view Text(size_t pos, size_t len) const {
    if (pos < 1 || pos - 1 + len > line_.size()) throw MalformedLine{number_};
    return line_.substr(pos - 1, len);
  }
  // A field of decimal digits.
  std::string_view Digits(size_t pos, size_t len) const {
    std::string_view s = Text(pos, len);
    if (!AllDigits(s)) throw MalformedLine{number_};
    return s;
  }
  // "yyyymmdd" of the day, month and year fields starting at pos.
  std::string Date(size_t pos) const {
    return std::string(Digits(pos + 4, 4)) + std::string(Digits(pos + 2, 2)) + std::string(Digits(pos, 2));
  }
  size_t size() const { return line_.size(); }
  size_t number() const { return number_; }
  std::string_view line() const { return line_; }

 private:
  std::string_view line_;
  size_t number_;
};

// The lines of the LOG text, each ended by CR LF. A record cut off before
// its end mark has a line of its own without "CC" (the LOG conversion writes
// it so, and appends the next reading after it); ending lines at "CC" alone
// would join it to the next record and lose that record. A CR LF pair inside
// a raw text tail would split its record, but product descriptions and
// serial numbers are typed text that holds no such pair.
std::vector<std::string_view> SplitLog(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
    if (!line.empty() || end != std::string_view::npos) lines.push_back(line);
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  return lines;
}

std::optional<int> HexByte(std::string_view two) {
  if (two.size() != 2) return std::nullopt;
  int v = 0;
  for (char c : two) {
    v <<= 4;
    if (c >= '0' && c <= '9') v |= c - '0';
    else if (c >= 'A' && c <= 'F') v |= c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v |= c - 'a' + 10;
    else return std::nullopt;
  }
  return v;
}

class DailyBuilder {
 public:
  explicit DailyBuilder(const comm::SintegraPeriod& period) : period_(period) {}

  void Read(const std::vector<std::string_view>& lines) {
    // An empty line is no record; counting it keeps the line numbers of the
    // error box those of the file.
    for (size_t i = 0; i < lines.size(); ++i)
      if (!lines[i].empty()) Dispatch(LineReader(lines[i], i + 1));
    if (closed_) FoldReceipt(/*sold=*/true);
  }

  const std::vector<std::string>& reduction_lines() const { return reductions_; }
  const std::vector<std::string>& waiting_lines() const { return waiting_; }

  // The 60D and 75 lines of the day store within the period.
  void DayLines(std::vector<std::string>& r60d, std::vector<std::string>& r75) const {
    for (const Item& d : days_) {
      if (d.date.substr(4, 2) + d.date.substr(0, 4) != period_.MonthYear()) continue;
      const std::string quantity = Amount(d.quantity, 13);
      if (quantity == std::string(13, '0')) continue;
      const std::string serial = Vazio(d.serial) ? serial_ : d.serial;
      const std::string code = ZerosEsquerda(d.code, 14);
      const int64_t rate = AllDigits(d.tax_code) ? Whole(d.tax_code) : 0;
      const int64_t tax = static_cast<int64_t>(static_cast<__int128>(rate) * (d.net < 0 ? 0 : d.net) / 10000);
      r60d.push_back("60D" + d.date + serial + code + quantity + Amount(d.value, 16) + Amount(d.net, 16) +
                     CompletaDireita(d.tax_code, 4) + Amount(tax, 13) + Espacos(19));
      r75.push_back("75" + d.date + d.date + code + Espacos(8) + CompletaDireita(d.description, 53) + "UN" +
                    Espacos(4) + "00000" + ZerosEsquerda(d.tax_code, 4) + "0000" + std::string(14, '0'));
    }
  }

 private:
  void Dispatch(const LineReader& l) {
    const std::optional<int> code = l.size() >= 2 ? HexByte(l.line().substr(0, 2)) : std::nullopt;
    if (closed_ && code != 0xFB && code != 0xFC) {
      FoldReceipt(/*sold=*/true);
      closed_ = false;
    }
    if (!code) return;
    switch (*code) {
      case 0xFB:
      case 0xFC:
        date_ = l.Date(3);
        FoldReceipt(/*sold=*/false);
        closed_ = false;
        break;
      case 0xFE:
        date_ = l.Date(3);
        closed_ = true;
        break;
      case 0x60: OnFiscal(l); break;
      case 0x61: CancelItem(std::string(l.Digits(3, 12))); break;
      case 0x63: SellItem(l); break;
      case 0x52: l.Digits(5, 19); break;
      case 0x53: Adjust(Whole(l.Digits(5, 19))); break;
      default: break;
    }
  }

  void OnFiscal(const LineReader& l) {
    const std::optional<int> sub = HexByte(l.Text(3, 2));
    if (!sub) throw MalformedLine{l.number()};
    switch (*sub) {
      case 0x01: {
        const size_t text_end = l.line().ends_with("CC") ? l.size() - 2 : l.size();
        serial_ = CompletaDireita(text_end > 4 ? l.line().substr(4, text_end - 4) : "", 20);
        break;
      }
      case 0x02: Reduction(l); break;
      case 0x03: Wait("CANC", l.Digits(5, 10)); break;
      case 0x05: Wait("DESC", l.Digits(5, 10)); break;
      case 0x06: Wait("F   ", l.Digits(5, 10)); break;
      case 0x07: Wait("I   ", l.Digits(5, 10)); break;
      case 0x08: Wait("N   ", l.Digits(5, 10)); break;
      default:
        if (*sub >= 0x12 && *sub <= 0x21) {
          const std::string_view rate = l.Digits(5, 4);
          const std::string_view value = l.Digits(9, 10);
          if (rate != "0000") Wait(rate, value);
        }
        break;
    }
  }

  void Wait(std::string_view tax_field, std::string_view value) {
    waiting_.push_back("60A" + serial_ + std::string(tax_field) + "00" + std::string(value) + Espacos(79));
  }

  void Reduction(const LineReader& l) {
    const std::string date = l.Date(5);
    std::string_view first = l.Digits(17, 6);
    if (first == "000000") first = l.Digits(23, 6);
    const std::string m = "60M" + date + serial_ + std::string(l.Digits(14, 3)) + "2D" + std::string(first) +
                          std::string(l.Digits(23, 12)) + std::string(l.Digits(38, 3)) + "000000" +
                          std::string(l.Digits(41, 10)) + "000000" + std::string(l.Digits(51, 10)) + Espacos(37);
    // Reductions of other months are not part of this month's file.
    if (date.substr(4, 2) + date.substr(0, 4) == period_.MonthYear()) {
      reductions_.push_back(m);
      for (const std::string& w : waiting_) reductions_.push_back("60A" + date + w.substr(3));
    }
    waiting_.clear();
  }

  void SellItem(const LineReader& l) {
    Item item;
    item.code = l.Digits(3, 12);
    item.value = Whole(l.Digits(15, 16)) + pending_adjustment_;
    item.quantity = Whole(l.Digits(31, 8));
    item.adjustment = pending_adjustment_;
    const std::string_view totalizer = l.Text(41, 2);
    const std::string_view rate = l.Digits(43, 4);
    // The description runs to the record's end mark at most; a record cut
    // off inside its text keeps what came.
    const size_t text_end = l.line().ends_with("CC") ? l.size() - 2 : l.size();
    item.description = text_end > 46 ? std::string(l.line().substr(46, std::min<size_t>(20, text_end - 46))) : "";
    item.serial = serial_;
    if (rate != "0000") item.tax_code = rate;
    else if (totalizer == "14") item.tax_code = "F   ";
    else if (totalizer == "15") item.tax_code = "I   ";
    else if (totalizer == "16") item.tax_code = "N   ";
    else if (totalizer == "17" || totalizer == "18" || totalizer == "19") item.tax_code = "ISS ";
    else item.tax_code = rate;
    pending_adjustment_ = 0;
    // A product sold twice in one receipt stands as two items: each unit is
    // counted once when the receipt is folded.
    receipt_.push_back(std::move(item));
  }

  // The first item of that product not yet cancelled: a product sold twice
  // and cancelled twice loses both units.
  void CancelItem(const std::string& code) {
    for (Item& item : receipt_) {
      if (item.code == code && item.quantity != 0) {
        item.adjustment = item.value;
        item.quantity = 0;
        return;
      }
    }
  }

  // Before the first item of a receipt there is no item to adjust; the
  // adjustment then waits for the next item.
  void Adjust(int64_t m) {
    pending_adjustment_ = m;
    if (!receipt_.empty()) receipt_.back().adjustment = m;
  }

  void FoldReceipt(bool sold) {
    for (Item& item : receipt_) {
      if (sold) {
        item.net = item.value - item.adjustment;
      } else {
        item.net = 0;
        item.quantity = 0;
      }
      auto [it, added] = day_index_.try_emplace({item.code, date_}, days_.size());
      if (added) days_.emplace_back();
      Item& day = days_[it->second];
      day.value += item.value;
      day.net += item.net;
      day.quantity += item.quantity;
      day.code = item.code;
      day.description = item.description;
      day.serial = item.serial;
      day.tax_code = item.tax_code;
      day.date = date_;
    }
    receipt_.clear();
  }

  comm::SintegraPeriod period_;
  std::string serial_ = Espacos(20);
  std::string date_;
  int64_t pending_adjustment_ = 0;
  bool closed_ = false;
  std::vector<Item> receipt_;
  std::vector<Item> days_;  // in the order of their first sale
  std::map<std::pair<std::string, std::string>, size_t> day_index_;
  std::vector<std::string> reductions_;
  std::vector<std::string> waiting_;
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw db::Error(path.string() + ": cannot be read");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveWorkingFiles(const db::Database& db) {
  for (const char* name : kWorkingFiles) {
    const auto path = db.find(name);
    if (!path.empty()) ApagaArquivo(path);
  }
}

}  // namespace

std::string DailyLogFileName(int terminal) { return "SLogs" + std::to_string(terminal) + ".trz"; }

bool GenerateDailySintegra(const db::Database& db, std::string_view period_text, int terminal) {
  const std::string n = std::to_string(terminal);
  const std::string result_name = "SINTEGRA" + n + ".txt";
  RemoveWorkingFiles(db);
  if (const auto old = db.find(result_name); !old.empty()) ApagaArquivo(old);

  const auto log_file = db.find(DailyLogFileName(terminal));
  if (log_file.empty() || std::filesystem::file_size(log_file) == 0) {
    kaslo::Messages().error("Sem arquivo de LOG para geração do Diário. Terminal:" + n);
    return false;
  }
  const auto period = comm::ParseSintegraPeriod(period_text);
  if (!period) return false;

  std::vector<std::string> arq60 = comm::HeaderRecords(db, *period);
  DailyBuilder builder(*period);
  const std::string log_text = ReadFile(log_file);
  try {
    builder.Read(SplitLog(log_text));
  } catch (const MalformedLine& bad) {
    kaslo::Messages().error("Linha inválida no arquivo de LOG " + log_file.string() + ": linha " +
                            std::to_string(bad.line_number) + ".");
    RemoveWorkingFiles(db);
    return false;
  }
  arq60.insert(arq60.end(), builder.reduction_lines().begin(), builder.reduction_lines().end());
  std::vector<std::string> r60d, r75;
  builder.DayLines(r60d, r75);
  comm::WriteSintegraLines(db.pathFor("ARQ60" + n + ".txt"), arq60);
  comm::WriteSintegraLines(db.pathFor("ARQ60A" + n + ".txt"), builder.waiting_lines());
  comm::WriteSintegraLines(db.pathFor("R60D.TXT"), r60d);
  comm::WriteSintegraLines(db.pathFor("R75.TXT"), r75);

  std::vector<std::string> lines = std::move(arq60);
  lines.insert(lines.end(), r60d.begin(), r60d.end());
  lines.insert(lines.end(), r75.begin(), r75.end());
  size_t count_60 = 0;
  for (const std::string& l : lines)
    if (l.starts_with("60")) ++count_60;
  const auto closing = comm::ClosingRecords(lines.front(), count_60, r75.size(), lines.size());
  lines.insert(lines.end(), closing.begin(), closing.end());
  comm::WriteSintegraLines(db.pathFor(result_name), lines);
  RemoveWorkingFiles(db);
  return true;
}

std::string DailyPeriodText(std::string_view answer) {
  auto part = [&](size_t pos, size_t len) {
    return pos < answer.size() ? std::string(answer.substr(pos, len)) : std::string();
  };
  return part(0, 2) + part(3, 4);
}

DailyOutcome GenerateDailySintegraForAllTerminals(const db::Database& db, std::string_view period) {
  DailyOutcome outcome;
  {
    auto terminals = db.open(ycoter::kTable, {.tag = "Um"});
    for (terminals->first(); !terminals->eof(); terminals->next()) {
      const double number = TextoParaNumero(terminals->getString(ycoter::ESTACAO));
      const int n = static_cast<int>(TextoParaInteiro(NumeroParaTexto(0, 0, number)));
      if (GenerateDailySintegra(db, period, n)) ++outcome.succeeded;
      else ++outcome.failed;
    }
  }
  if (outcome.succeeded > 0) kaslo::Messages().information("Arquivo(s) SINTEGRA(N).TXT Gerado!");
  if (outcome.failed > 0) kaslo::Messages().error("Houve erros na geração dos arquivos Sintegra");
  return outcome;
}

bool GerarArquivoDiario(const db::Database& db) {
  const auto today = kaslo::Today();
  const std::string initial = NumeroComZeros(2, 0, static_cast<unsigned>(today.month())) + "/" +
                              NumeroComZeros(4, 0, static_cast<int>(today.year()));
  const auto answer = kaslo::Messages().input("Digite o mês e ano (MM/AAAA)", "Prompt", initial);
  if (!answer) return false;
  GenerateDailySintegraForAllTerminals(db, DailyPeriodText(*answer));
  return true;
}

}  // namespace kaslo::app
