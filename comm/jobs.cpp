// The job table, the terminal list from Ycoter, the preparation of a job's
// files and the product change queue.
#include "comm/jobs.h"

#include <INIReader.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>

#include "comm/load_files.h"
#include "comm/session_protocol.h"
#include "common/files.h"
#include "common/messages.h"
#include "common/progress.h"
#include "common/text.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycoy60.h"

namespace comm {
namespace {

constexpr JobKind kJobs[] = {
    {1, "Efetuar Leitura X", 'G', "X"},
    {2, "Efetuar Leitura de Memória Fiscal", 'G', "M00019999"},
    {3, "Relatório de Vendas por Vendedor", 'G', "6"},
    // The table gives job 4 no register: its request is "G.dad" and the
    // report comes back as "G" + n + ".rec".
    {4, "Relatório de Vendas por Horário", 'G', ""},
    {5, "Relatório de Vendas por Produtos", 'G', "5"},
    {6, "Relatório de Vendas por Departamento", 'G', "1"},
    {7, "Relatório de Vendas por Operador", 'G', "3"},
    {8, "Leitura do Cadastro de Operadores", 'S', "user"},
    {9, "Leitura do Cadastro de Vendedores", 'S', "vend"},
    {10, "Leitura do Cadastro de Grupos de Depto", 'S', "grpdepto"},
    {11, "Leitura do Cadastro de Departamentos", 'S', "depto"},
    {12, "Leitura de Configuração de Finalizadoras", 'S', "cfgfinal"},
    {13, "Leitura de Configuração de Parâmetros Diversos/Periféricos", 'S', "perif"},
    {14, "Leitura de Configuração de Parâmetros Descontos/Acréscimos", 'S', "descacr"},
    {15, "Leitura de Configuração de Mensagem de Venda", 'S', "footer"},
    {16, "Leitura do Cadastro de Clientes", 'S', "Client"},
    {17, "Leitura de Configuração da Loja", 'S', "codbarra"},
    {18, "Leitura do Cadastro de Produtos", 'S', "Prods"},
    {19, "Leitura de Data e Hora do Equipamento", 'S', "datahora"},
    {20, "Leitura de Finalizadoras", 'S', "finaliz"},
    {21, "Leitura de Layout de Teclado", 'S', "teclado"},
    {23, "Leitura de LOG", 'S', "Logs"},
    {24, "Leitura dos dados da loja", 'S', "header"},
    {87, "Efetuar Limpeza de LOG", 'C', "ZLogs"},
    {88, "Enviar Cadastro de Operadores", 'R', "user"},
    {99, "Enviar Cadastro de Vendedores", 'R', "vend"},
    {101, "Enviar Cadastro de Grupos de Depto", 'R', "grpdepto"},
    {111, "Enviar Cadastro de Departamentos", 'R', "depto"},
    {121, "Enviar Configuração de Finalizadoras", 'R', "finaliz"},
    {131, "Enviar Configuração de Parâmetros Diversos/Periféricos", 'R', "perif"},
    {141, "Enviar Configuração de Parâmetros Descontos/Acréscimos", 'R', "descacr"},
    {151, "Enviar Configuração de Mensagem de Venda", 'R', "footer"},
    {161, "Enviar Cadastro de Clientes", 'R', "Client"},
    {171, "Enviar Configuração da Loja", 0, ""},
    {181, "Enviar Cadastro de Produtos (Carga Completa)", 'R', "Prods"},
    {191, "Envio de Data e Hora do Equipamento", 'R', "datahora"},
    {202, "Enviar Cadastro de Finalizadoras", 0, ""},
    {211, "Enviar Layout de Teclado", 'R', "teclado"},
    {232, "Enviar Programacão da Loja", 0, ""},
    {241, "", 'R', "header"},
    {499, "Enviar Cadastro de Produtos(Alterar Estoque)", 'R', "nlumnt"},
    {997, "Leitura SINTEGRA - Mês Anterior", 'S', "r60mold"},
    {998, "Leitura SINTEGRA - Mês Atual", 'S', "r60m"},
};

std::string Marker() {
  kaslo::DateTime now = kaslo::Now();
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02u/%02u/%04d %02d:%02d:%02d", static_cast<unsigned>(now.date.day()),
                static_cast<unsigned>(now.date.month()), static_cast<int>(now.date.year()), now.hour,
                now.minute, now.second);
  return buf;
}

// Writes the whole file; false when it cannot be created or written.
bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return !out.fail();
}

Preparation Failed(std::string message) { return {Preparation::kFailed, std::move(message), {}}; }
Preparation Ready(std::string wire_name) { return {Preparation::kReady, {}, std::move(wire_name)}; }

// The message of a load file that could not be written.
std::string LoadFileError(std::string_view name) {
  if (name == "user") return "Erro ao tentar criar user ![w]";
  if (name == "vend") return "Erro ao tentar criar vend ![w]";
  if (name == "finaliz" || name == "cfgfinal") return "Erro ao tentar criar [122] ![w]";
  if (name == "codbarra") return "Erro ao tentar criar codbarra [17] ![w]";
  if (name == "perif") return "Erro ao tentar criar perif [131] ![w]";
  if (name == "flags") return "Erro ao tentar criar flags [500] ![w]";
  if (name == "Client") return "Erro ao tentar criar client ![w]";
  if (name == "footer") return "Erro ao tentar criar footer ![w]";
  if (name == "nlumnt") return "Erro ao tentar criar nlufile.mtr!";
  if (name == "Prods") return "Erro ao tentar criar Prods.dad!";
  return "Erro ao tentar criar " + std::string(name) + " ![w]";
}

class Preparer {
 public:
  Preparer(const db::Database& db, int kind, const JobOptions& options, const std::vector<std::string>& captions)
      : db_(db), dir_(db.dir()), kind_(kind), options_(options), captions_(captions) {}

  Preparation Run() {
    const JobKind* job = FindJob(kind_);
    if (!job || !IsServableJob(kind_)) return Failed("Erro ao tentar criar [  ] !");
    reg_ = std::string(job->register_name);
    DeleteOldFiles();
    switch (job->direction) {
      case 'G':
      case 'S':
        return Request(job->direction);
      case 'C':
        return Command();
      default:
        return Load();
    }
  }

 private:
  std::filesystem::path Path(std::string_view name) const { return dir_ / std::string(name); }
  void Delete(std::string_view name) const {
    if (!name.empty()) ApagaArquivo(Path(name));
  }

  void DeleteOldFiles() const {
    for (const std::string& reg : JobRegisters(kind_)) DeleteRegisterFiles(reg);
    if (reg_.empty()) DeleteRegisterFiles("");  // job 4: "G.dad", "G" + n + ".rec"
  }

  void DeleteRegisterFiles(const std::string& reg) const {
    for (std::string_view prefix : {"", "S", "G", "R"}) {
      std::string stem = std::string(prefix) + reg;
      if (stem.empty()) continue;
      for (std::string_view ext : {"", ".dad", ".dat", ".rec"}) Delete(stem + std::string(ext));
      if (std::string_view(prefix).empty()) continue;
      for (const std::string& caption : captions_) Delete(stem + caption + ".rec");
    }
  }

  // Reports ("G") and register requests ("S"): one marker per register
  // asked for, copied to the file of its wire name.
  Preparation Request(char letter) {
    std::vector<std::string> names;
    std::string first;
    if (kind_ == 12 || kind_ == 20) {
      names = {"cfgfinal", "finaliz"};
      first = "finaliz";
    } else if (kind_ == 13) {
      names = {"codbarra", "perif", "flags"};
      first = "codbarra";
    } else if (kind_ == 997 || kind_ == 998) {
      DeleteSintegraFiles();
      names = {"Prods", reg_};
      first = "id";  // the server asks for the identity first
    } else {
      names = {reg_};
      first = reg_;
    }
    if (kind_ == 17) {
      // The session asks for "Sperif.dad" after "Scodbarra.dad" whenever
      // that file exists: a marker left by an earlier job 13 would turn
      // this one-register reading into a three-register one.
      Delete("Sperif.dad");
      Delete("Sflags.dad");
    }
    const bool several = names.size() > 1 && kind_ != 997 && kind_ != 998;
    for (const std::string& name : names) {
      std::string wire = WireFile(WireName(letter, name + ".dad"));
      // Job 4 has no register, so no working file: its marker is the wire file.
      bool written = name.empty() ? WriteFile(Path(wire), Marker() + "\r\n")
                                  : WriteFile(Path(name), Marker() + "\r\n");
      if (!written) return Failed(several ? "Erro ao tentar criar [ " + name + " ] ![w]"
                                          : "Erro ao tentar criar [ " + reg_ + " ] !");
      // The marker is copied to the file the session looks for: the wire
      // name without blanks ("GM00019999.da" for the 13-character name of
      // the fiscal-memory report).
      if (!name.empty() && !CopiaArquivo(Path(name), Path(wire)))
        return Failed(several ? "Erro ao tentar criar [ " + name + " ]!" : "Erro ao tentar criar [ " + reg_ + " ] !");
    }
    if (kind_ == kJobLogReading && LogClearOption(db_)) {
      // The clear command after the LOG is only sent when its file exists.
      if (!WriteFile(Path("ZLogs"), Marker()) || !CopiaArquivo(Path("ZLogs"), Path("CZLogs.dad")))
        return Failed("Erro ao tentar criar [ ZLogs ] !");
    }
    return Ready(WireName(letter, first + ".dad"));
  }

  void DeleteSintegraFiles() const {
    Delete("r60m1.txt");
    std::error_code ec;
    std::vector<std::filesystem::path> old;
    for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
      std::string name = entry.path().filename().string();
      if (name.size() >= 8 && name.rfind("r60m", 0) == 0 && name.substr(name.size() - 4) == ".txt") old.push_back(entry.path());
    }
    for (const auto& p : old) ApagaArquivo(p);
    for (std::string_view request : {"Sid.dad", "SProds.dad", "Sr60m.dad", "Sr60mold.dad"}) Delete(request);
  }

  // The LOG-clear command: its marker has no line end.
  Preparation Command() {
    std::string wire = WireFile(WireName('C', reg_ + ".dad"));
    if (!WriteFile(Path(reg_), Marker()) || !CopiaArquivo(Path(reg_), Path(wire)))
      return Failed("Erro ao tentar criar [ " + reg_ + " ] !");
    return Ready(WireName('C', reg_ + ".dad"));
  }

  // Writes the working file and copies it to its "R" wire file.
  bool WriteLoad(const std::string& name, std::string_view bytes) const {
    Delete("R" + name + ".dad");
    return WriteFile(Path(name), bytes) && CopiaArquivo(Path(name), Path("R" + name + ".dad"));
  }

  Preparation Load() {
    MostraProgresso(std::string(kWaitProcessing));
    struct CloseWait {
      ~CloseWait() { FechaProgresso(); }
    } close_wait;

    using Builder = std::string (*)(const db::Database&);
    std::vector<std::pair<std::string, Builder>> files;
    switch (kind_) {
      case 88: files = {{"user", OperatorsFile}}; break;
      case 99: files = {{"vend", SellersFile}}; break;
      case 101: files = {{"grpdepto", GroupsFile}, {"depto", DepartmentsFile}}; break;
      case 111: files = {{"depto", DepartmentsFile}}; break;
      case 121: files = {{"finaliz", PaymentNamesFile}, {"cfgfinal", PaymentConfigFile}}; break;
      case 131: files = {{"perif", PeripheralsFile}, {"codbarra", BarCodeOptionsFile}, {"flags", FlagsFile}}; break;
      case 141: files = {{"descacr", DiscountsFile}}; break;
      case 151: files = {{"footer", FooterFile}}; break;
      case kJobClientLoad: files = {{"Client", ClientsFile}}; break;
      case 211: files = {{"teclado", KeyboardFile}}; break;
      case 241: files = {{"header", HeaderFile}}; break;
      case kJobProductLoad: return ProductLoad();
      case kJobChangedProducts: return ChangedProductsLoad();
      case kJobDateTimeLoad: {
        kaslo::DateTime when = options_.date_time ? *options_.date_time : kaslo::Now();
        if (!WriteLoad(reg_, DateTimeRecord(when.date, when.hour, when.minute))) return Failed(LoadFileError(reg_));
        return Ready(WireName('R', reg_ + ".dad"));
      }
      default: return Failed(LoadFileError(reg_));
    }
    for (const auto& [name, build] : files)
      if (!WriteLoad(name, build(db_))) return Failed(LoadFileError(name));
    return Ready(WireName('R', files.front().first + ".dad"));
  }

  Preparation ProductLoad() {
    Delete("nlufile.mtr");
    Delete("Prods.dad");
    for (size_t i = 1; i <= captions_.size(); ++i) Delete("pro" + std::to_string(i) + ".dad");
    Delete("nlumnt");
    Delete("Rnlumnt.dad");
    std::vector<ProductValues> products = LoadProducts(db_, CheckDigitOption(db_));
    if (products.empty()) return {Preparation::kNoRecords, std::string(kNoRecordsMessage), {}};
    // "Prods3" and "Prods5" are the contents; "RProds.dad" only stands for them.
    if (!WriteFile(Path("Prods3"), ProductsFile(products, ProductRecordSize::k80)) ||
        !WriteFile(Path("Prods5"), ProductsFile(products, ProductRecordSize::k86)) ||
        !WriteLoad("Prods", Marker() + "\r\n"))
      return Failed(LoadFileError("Prods"));
    std::string list = CompleteProductList(products);
    if (!list.empty() && !WriteLoad("nlumnt", list)) return Failed(LoadFileError("nlumnt"));
    return Ready(WireName('R', "Prods.dad"));
  }

  Preparation ChangedProductsLoad() {
    Delete("nlumnt");
    Delete("Rnlumnt.dad");
    std::string list = ChangedProductList(db_, options_.stock);
    if (list.empty()) return {Preparation::kNoRecords, std::string(kNoRecordsMessage), {}};
    if (!WriteLoad("nlumnt", list)) return Failed(LoadFileError("nlumnt"));
    return Ready(WireName('R', "nlumnt.dad"));
  }

  const db::Database& db_;
  std::filesystem::path dir_;
  int kind_;
  const JobOptions& options_;
  const std::vector<std::string>& captions_;
  std::string reg_;
};

}  // namespace

std::span<const JobKind> JobTable() { return kJobs; }

const JobKind* FindJob(int kind) {
  auto it = std::find_if(std::begin(kJobs), std::end(kJobs), [kind](const JobKind& j) { return j.kind == kind; });
  return it == std::end(kJobs) ? nullptr : &*it;
}

bool IsServableJob(int kind) {
  const JobKind* job = FindJob(kind);
  return job && job->direction != 0;
}

std::string JobCaption(int kind, bool stock_option) {
  if (kind == kJobChangedProducts)
    return stock_option ? "Enviar Cadastro de Produtos(Alterar Estoque)"
                        : "Enviar Cadastro de Produtos(Não Alterar Estoque)";
  const JobKind* job = FindJob(kind);
  return (job && !job->caption.empty()) ? std::string(job->caption) : std::string(kDefaultCaption);
}

bool IsReadingJob(int kind) { return (kind >= 1 && kind <= 24) || kind == 997 || kind == 998; }

std::string StartQuestion(int kind, std::string_view caption) {
  return "Confirma  [ " + std::string(caption) + " ]\r" + (IsReadingJob(kind) ? "dos" : "para") +
         " terminais selecionados ?";
}

std::vector<std::string> JobRegisters(int kind) {
  const JobKind* job = FindJob(kind);
  if (!job || job->register_name.empty()) return {};
  std::vector<std::string> regs{std::string(job->register_name)};
  auto add = [&](std::initializer_list<const char*> more) {
    for (const char* r : more)
      if (std::find(regs.begin(), regs.end(), r) == regs.end()) regs.emplace_back(r);
  };
  switch (kind) {
    case 101: add({"depto"}); break;
    case 12: case 20: case 121: add({"finaliz", "cfgfinal"}); break;
    case 13: case 131: add({"codbarra", "perif", "flags"}); break;
    case kJobProductReading: add({"id"}); break;
    case 997: case 998: add({"id", "Prods"}); break;
    default: break;
  }
  return regs;
}

void FillTerminalList(const db::Database& db, TerminalList& list) {
  auto t = db.open(ycoter::kTable, {.tag = "UM"});
  for (t->first(); !t->eof(); t->next()) {
    TerminalRow row;
    row.caption = std::to_string(t->asInteger(ycoter::ESTACAO));
    row.address = Apara(t->getString(ycoter::TER_ECFSER));
    row.status = kStatusStandBy;
    row.progress = "0 %";
    row.image = kImageStandBy;
    list.addRow(std::move(row));
  }
}

bool IsSelectableRow(const TerminalRow& row) { return !Apara(row.address).empty(); }

Preparation PrepareJobFiles(const db::Database& db, int kind, const JobOptions& options,
                            const std::vector<std::string>& row_captions) {
  return Preparer(db, kind, options, row_captions).Run();
}

bool ProductQueueHasRows(const db::Database& db) {
  auto t = db.open(ycoy60::kTable);
  t->first();
  return !t->eof();
}

void ClearProductQueue(const db::Database& db) {
  ApagaArquivo(db.dir() / "Rnlumnt.dad");
  auto t = db.open(ycoy60::kTable);
  for (t->first(); !t->eof();)
    if (!t->remove()) t->next();
}

bool CloseJob(const db::Database& db, int kind) {
  if (kind != kJobProductLoad && kind != kJobChangedProducts) return false;
  if (!ProductQueueHasRows(db)) return false;
  if (!kaslo::ConfirmDestructive(std::string(kClearQueueQuestion))) return false;
  ClearProductQueue(db);
  return true;
}

bool ContinuousLogReading(const std::filesystem::path& dir) {
  std::filesystem::path ini = db::Database(dir).find("RURUDOR.INI");
  if (ini.empty()) return false;
  INIReader reader(ini.string());
  if (reader.ParseError() < 0) return false;
  return Apara(reader.Get("Sistema", "LogOnLine", "0")) == "1";
}

}  // namespace comm
