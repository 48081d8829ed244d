// The rows of the job table and the questions asked of it.
#include "comm/job_table.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <system_error>

#include "comm/session_protocol.h"
#include "common/files.h"

namespace kaslo::comm {
namespace {

namespace fs = std::filesystem;

// ---- builders of the load files

template <std::string (*File)(const db::Database&)>
LoadContent FromTables(JobContext& c) {
  return {LoadContent::kWrite, File(c.db)};
}

LoadContent DateTimeLoad(JobContext& c) {
  kaslo::DateTime when = c.options.date_time ? *c.options.date_time : kaslo::Now();
  return {LoadContent::kWrite, DateTimeRecord(when.date, when.hour, when.minute)};
}

// "RProds.dad" only stands for the two product files; the session sends the
// one of the terminal's record length.
LoadContent ProductsLoad(JobContext& c) {
  const std::vector<ProductValues>& products = c.products();
  if (products.empty()) return {LoadContent::kNoRecords};
  return {LoadContent::kWrite,
          JobMarker() + "\r\n",
          {{ProductContentFile(ProductRecordSize::k80), ProductsFile(products, ProductRecordSize::k80)},
           {ProductContentFile(ProductRecordSize::k86), ProductsFile(products, ProductRecordSize::k86)}}};
}

LoadContent CompleteListLoad(JobContext& c) {
  std::string list = CompleteProductList(c.products());
  if (list.empty()) return {LoadContent::kSkip};
  return {LoadContent::kWrite, std::move(list)};
}

LoadContent ChangedListLoad(JobContext& c) {
  std::string list = ChangedProductList(c.db, c.options.stock);
  if (list.empty()) return {LoadContent::kNoRecords};
  return {LoadContent::kWrite, std::move(list)};
}

// ---- what some preparations delete besides their registers' files

void ClearProductLoad(JobContext& c) {
  const fs::path& dir = c.db.dir();
  ApagaArquivo(dir / "nlufile.mtr");
  ApagaArquivo(dir / "Prods.dad");
  for (size_t i = 1; i <= c.captions.size(); ++i) ApagaArquivo(dir / ("pro" + std::to_string(i) + ".dad"));
}

// The SINTEGRA texts of earlier readings, of either month and any terminal.
void ClearSintegraTexts(JobContext& c) {
  std::error_code ec;
  std::vector<fs::path> old;
  for (const auto& entry : fs::directory_iterator(c.db.dir(), ec)) {
    std::string name = entry.path().filename().string();
    if (name.size() >= 8 && name.rfind("r60m", 0) == 0 && name.substr(name.size() - 4) == ".txt")
      old.push_back(entry.path());
  }
  for (const auto& p : old) ApagaArquivo(p);
}

// ---- the steps

constexpr JobStep kReportX[] = {{'G', "X"}};
constexpr JobStep kReportFiscalMemory[] = {{'G', "M00019999"}};
constexpr JobStep kReportSellers[] = {{'G', "6"}};
constexpr JobStep kReportHours[] = {{'G', ""}};  // "G.dad": the report has no register
constexpr JobStep kReportProducts[] = {{'G', "5"}};
constexpr JobStep kReportDepartments[] = {{'G', "1"}};
constexpr JobStep kReportOperators[] = {{'G', "3"}};

constexpr JobStep kAskOperators[] = {{'S', "user"}};
constexpr JobStep kAskSellers[] = {{'S', "vend"}};
constexpr JobStep kAskGroups[] = {{'S', "grpdepto"}};
constexpr JobStep kAskDepartments[] = {{'S', "depto"}};
constexpr JobStep kAskPayments[] = {{'S', "finaliz"}, {'S', "cfgfinal"}};
constexpr JobStep kAskOptions[] = {{'S', "codbarra"}, {'S', "perif"}, {'S', "flags"}};
constexpr JobStep kAskDiscounts[] = {{'S', "descacr"}};
constexpr JobStep kAskFooter[] = {{'S', "footer"}};
constexpr JobStep kAskClients[] = {{'S', "Client"}};
constexpr JobStep kAskStore[] = {{'S', "codbarra"}};
constexpr JobStep kAskProducts[] = {{'S', "Prods"}};
constexpr JobStep kAskDateTime[] = {{'S', "datahora"}};
constexpr JobStep kAskKeyboard[] = {{'S', "teclado"}};
constexpr JobStep kAskLog[] = {
    {.letter = 'S', .file = "Logs", .last_read = true},
    // The clear command goes out only after the LOG came in.
    {.letter = 'C', .file = "ZLogs", .error = "Erro ao tentar criar [ ZLogs ] !", .only_with_log_clear = true},
};
constexpr JobStep kAskHeader[] = {{'S', "header"}};
constexpr JobStep kClearLog[] = {{'C', "ZLogs"}};
constexpr JobStep kAskSintegraPrevious[] = {{'S', "Prods"}, {'S', "r60mold"}};
constexpr JobStep kAskSintegraCurrent[] = {{'S', "Prods"}, {'S', "r60m"}};

constexpr JobStep kSendOperators[] = {{'R', "user", FromTables<OperatorsFile>, "Erro ao tentar criar user ![w]"}};
constexpr JobStep kSendSellers[] = {{'R', "vend", FromTables<SellersFile>, "Erro ao tentar criar vend ![w]"}};
constexpr JobStep kSendGroups[] = {{'R', "grpdepto", FromTables<GroupsFile>},
                                   {'R', "depto", FromTables<DepartmentsFile>}};
constexpr JobStep kSendDepartments[] = {{'R', "depto", FromTables<DepartmentsFile>}};
constexpr JobStep kSendPayments[] = {
    {'R', "finaliz", FromTables<PaymentNamesFile>, "Erro ao tentar criar [122] ![w]"},
    {'R', "cfgfinal", FromTables<PaymentConfigFile>, "Erro ao tentar criar [122] ![w]"},
};
constexpr JobStep kSendOptions[] = {
    {'R', "perif", FromTables<PeripheralsFile>, "Erro ao tentar criar perif [131] ![w]"},
    {'R', "codbarra", FromTables<BarCodeOptionsFile>, "Erro ao tentar criar codbarra [17] ![w]"},
    {'R', "flags", FromTables<FlagsFile>, "Erro ao tentar criar flags [500] ![w]"},
};
constexpr JobStep kSendDiscounts[] = {{'R', "descacr", FromTables<DiscountsFile>}};
constexpr JobStep kSendFooter[] = {{'R', "footer", FromTables<FooterFile>, "Erro ao tentar criar footer ![w]"}};
constexpr JobStep kSendClients[] = {{'R', "Client", FromTables<ClientsFile>, "Erro ao tentar criar client ![w]"}};
constexpr JobStep kSendProducts[] = {
    {.letter = 'R',
     .file = "Prods",
     .build = ProductsLoad,
     .error = "Erro ao tentar criar Prods.dad!",
     .content_by_model = true},
    {'R', "nlumnt", CompleteListLoad, "Erro ao tentar criar nlufile.mtr!"},
};
constexpr JobStep kSendDateTime[] = {{'R', "datahora", DateTimeLoad}};
constexpr JobStep kSendKeyboard[] = {{'R', "teclado", FromTables<KeyboardFile>}};
constexpr JobStep kSendHeader[] = {{'R', "header", FromTables<HeaderFile>}};
constexpr JobStep kSendChangedProducts[] = {{'R', "nlumnt", ChangedListLoad, "Erro ao tentar criar nlufile.mtr!"}};

using R = JobRole;

JobKind Report(int kind, std::string_view caption, std::string_view reg, std::span<const JobStep> steps) {
  return {kind, caption, 'G', reg, R::kReport, steps};
}
JobKind Reading(int kind, std::string_view caption, std::string_view reg, std::span<const JobStep> steps) {
  return {kind, caption, 'S', reg, R::kReading, steps};
}
JobKind Load(int kind, std::string_view caption, std::string_view reg, std::span<const JobStep> steps) {
  return {kind, caption, 'R', reg, R::kLoad, steps};
}
JobKind Captioned(int kind, std::string_view caption) { return {kind, caption, 0, ""}; }

template <typename Change>
JobKind With(JobKind job, Change change) {
  change(job);
  return job;
}

const std::vector<JobKind>& BuiltInJobs() {
  static const std::vector<JobKind> jobs = {
      Report(1, "Efetuar Leitura X", "X", kReportX),
      Report(2, "Efetuar Leitura de Memória Fiscal", "M00019999", kReportFiscalMemory),
      Report(3, "Relatório de Vendas por Vendedor", "6", kReportSellers),
      Report(4, "Relatório de Vendas por Horário", "", kReportHours),
      Report(5, "Relatório de Vendas por Produtos", "5", kReportProducts),
      Report(6, "Relatório de Vendas por Departamento", "1", kReportDepartments),
      Report(7, "Relatório de Vendas por Operador", "3", kReportOperators),
      Reading(8, "Leitura do Cadastro de Operadores", "user", kAskOperators),
      Reading(9, "Leitura do Cadastro de Vendedores", "vend", kAskSellers),
      Reading(10, "Leitura do Cadastro de Grupos de Depto", "grpdepto", kAskGroups),
      Reading(11, "Leitura do Cadastro de Departamentos", "depto", kAskDepartments),
      With(Reading(12, "Leitura de Configuração de Finalizadoras", "cfgfinal", kAskPayments),
           [](JobKind& j) {
             j.names_each_marker = true;
             j.companion = "finaliz";
           }),
      With(Reading(13, "Leitura de Configuração de Parâmetros Diversos/Periféricos", "perif", kAskOptions),
           [](JobKind& j) { j.names_each_marker = true; }),
      Reading(14, "Leitura de Configuração de Parâmetros Descontos/Acréscimos", "descacr", kAskDiscounts),
      Reading(15, "Leitura de Configuração de Mensagem de Venda", "footer", kAskFooter),
      Reading(16, "Leitura do Cadastro de Clientes", "Client", kAskClients),
      Reading(17, "Leitura de Configuração da Loja", "codbarra", kAskStore),
      With(Reading(18, "Leitura do Cadastro de Produtos", "Prods", kAskProducts),
           [](JobKind& j) { j.identity = Identity::kFile; }),
      Reading(19, "Leitura de Data e Hora do Equipamento", "datahora", kAskDateTime),
      With(Reading(20, "Leitura de Finalizadoras", "finaliz", kAskPayments),
           [](JobKind& j) {
             j.names_each_marker = true;
             j.companion = "cfgfinal";
           }),
      Reading(21, "Leitura de Layout de Teclado", "teclado", kAskKeyboard),
      With(Reading(23, "Leitura de LOG", "Logs", kAskLog),
           [](JobKind& j) {
             j.after_session = AfterSession::kConvertLog;
             j.follow_up = RowFollowUp::kRepeatLog;
           }),
      Reading(24, "Leitura dos dados da loja", "header", kAskHeader),
      {87, "Efetuar Limpeza de LOG", 'C', "ZLogs", R::kCommand, kClearLog},
      Load(88, "Enviar Cadastro de Operadores", "user", kSendOperators),
      Load(99, "Enviar Cadastro de Vendedores", "vend", kSendSellers),
      Load(101, "Enviar Cadastro de Grupos de Depto", "grpdepto", kSendGroups),
      Load(111, "Enviar Cadastro de Departamentos", "depto", kSendDepartments),
      Load(121, "Enviar Configuração de Finalizadoras", "finaliz", kSendPayments),
      Load(131, "Enviar Configuração de Parâmetros Diversos/Periféricos", "perif", kSendOptions),
      Load(141, "Enviar Configuração de Parâmetros Descontos/Acréscimos", "descacr", kSendDiscounts),
      Load(151, "Enviar Configuração de Mensagem de Venda", "footer", kSendFooter),
      With(Load(161, "Enviar Cadastro de Clientes", "Client", kSendClients),
           [](JobKind& j) { j.block_size = 128; }),
      Captioned(171, "Enviar Configuração da Loja"),
      With(Load(181, "Enviar Cadastro de Produtos (Carga Completa)", "Prods", kSendProducts),
           [](JobKind& j) {
             j.identity = Identity::kAnswer;
             j.clear = ClearProductLoad;
             j.offers_queue_clear = true;
           }),
      Load(191, "Envio de Data e Hora do Equipamento", "datahora", kSendDateTime),
      Captioned(202, "Enviar Cadastro de Finalizadoras"),
      Load(211, "Enviar Layout de Teclado", "teclado", kSendKeyboard),
      Captioned(232, "Enviar Programacão da Loja"),
      Load(241, "", "header", kSendHeader),
      With(Load(499, "Enviar Cadastro de Produtos(Alterar Estoque)", "nlumnt", kSendChangedProducts),
           [](JobKind& j) {
             j.offers_queue_clear = true;
             j.caption_without_stock = "Enviar Cadastro de Produtos(Não Alterar Estoque)";
           }),
      With(Reading(997, "Leitura SINTEGRA - Mês Anterior", "r60mold", kAskSintegraPrevious),
           [](JobKind& j) {
             j.identity = Identity::kFile;
             j.clear = ClearSintegraTexts;
             j.follow_up = RowFollowUp::kSintegraFile;
           }),
      With(Reading(998, "Leitura SINTEGRA - Mês Atual", "r60m", kAskSintegraCurrent),
           [](JobKind& j) {
             j.identity = Identity::kFile;
             j.clear = ClearSintegraTexts;
             j.follow_up = RowFollowUp::kSintegraFile;
           }),
  };
  return jobs;
}

// Rows added by tests, looked up before the built-in ones.
std::map<int, JobKind>& ExtraJobs() {
  static std::map<int, JobKind> extra;
  return extra;
}

}  // namespace

const std::vector<ProductValues>& JobContext::products() {
  if (!products_) products_ = LoadProducts(db, CheckDigitOption(db));
  return *products_;
}

std::string JobMarker() {
  kaslo::DateTime now = kaslo::Now();
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02u/%02u/%04d %02d:%02d:%02d", static_cast<unsigned>(now.date.day()),
                static_cast<unsigned>(now.date.month()), static_cast<int>(now.date.year()), now.hour,
                now.minute, now.second);
  return buf;
}

std::string ProductContentFile(ProductRecordSize size) {
  return size == ProductRecordSize::k86 ? "Prods5" : "Prods3";
}

std::span<const JobKind> JobTable() { return BuiltInJobs(); }

const JobKind* FindJob(int kind) {
  if (auto extra = ExtraJobs().find(kind); extra != ExtraJobs().end()) return &extra->second;
  const auto& jobs = BuiltInJobs();
  auto it = std::find_if(jobs.begin(), jobs.end(), [kind](const JobKind& j) { return j.kind == kind; });
  return it == jobs.end() ? nullptr : &*it;
}

bool IsServableJob(int kind) {
  const JobKind* job = FindJob(kind);
  return job && job->direction != 0;
}

std::string JobCaption(int kind, bool stock_option) {
  const JobKind* job = FindJob(kind);
  if (!job) return std::string(kDefaultCaption);
  if (!stock_option && !job->caption_without_stock.empty()) return std::string(job->caption_without_stock);
  return job->caption.empty() ? std::string(kDefaultCaption) : std::string(job->caption);
}

bool IsReadingJob(int kind) {
  const JobKind* job = FindJob(kind);
  return job && (job->role == JobRole::kReading || job->role == JobRole::kReport);
}

std::string StartQuestion(int kind, std::string_view caption) {
  return "Confirma  [ " + std::string(caption) + " ]\r" + (IsReadingJob(kind) ? "dos" : "para") +
         " terminais selecionados ?";
}

DataView DataViewOf(const JobKind& job) {
  if (job.role == JobRole::kReport) return DataView::kReportText;
  if (job.role != JobRole::kReading) return DataView::kNone;
  if (job.after_session == AfterSession::kConvertLog) return DataView::kLogText;
  if (job.follow_up == RowFollowUp::kSintegraFile) return DataView::kSintegraText;
  return DataView::kRegisterViewer;
}

std::vector<std::string> JobRegisters(int kind) {
  const JobKind* job = FindJob(kind);
  if (!job || job->register_name.empty()) return {};
  std::vector<std::string> regs{std::string(job->register_name)};
  auto add = [&](std::string_view reg) {
    if (std::find(regs.begin(), regs.end(), reg) == regs.end()) regs.emplace_back(reg);
  };
  if (job->identity == Identity::kFile) add("id");
  for (const JobStep& step : job->steps)
    if (step.letter != 'C') add(step.file);
  return regs;
}

std::size_t BlockSize(int job_kind) {
  const JobKind* job = FindJob(job_kind);
  return job ? job->block_size : 80;
}

std::string StepWireName(const JobStep& step) { return WireName(step.letter, std::string(step.file) + ".dad"); }

namespace testing {

ScopedJobKind::ScopedJobKind(const JobKind& job) : kind_(job.kind) { ExtraJobs().insert_or_assign(job.kind, job); }
ScopedJobKind::~ScopedJobKind() { ExtraJobs().erase(kind_); }

}  // namespace testing

}  // namespace kaslo::comm
