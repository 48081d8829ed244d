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

// Every job kind with a caption, in ascending order.
constexpr JobKind kJobs[] = {
    {.kind = 1, .caption = "Efetuar Leitura X", .direction = 'G', .register_name = "X", .role = R::kReport,
     .steps = kReportX},
    {.kind = 2, .caption = "Efetuar Leitura de Memória Fiscal", .direction = 'G', .register_name = "M00019999",
     .role = R::kReport, .steps = kReportFiscalMemory},
    {.kind = 3, .caption = "Relatório de Vendas por Vendedor", .direction = 'G', .register_name = "6",
     .role = R::kReport, .steps = kReportSellers},
    {.kind = 4, .caption = "Relatório de Vendas por Horário", .direction = 'G', .register_name = "",
     .role = R::kReport, .steps = kReportHours},
    {.kind = 5, .caption = "Relatório de Vendas por Produtos", .direction = 'G', .register_name = "5",
     .role = R::kReport, .steps = kReportProducts},
    {.kind = 6, .caption = "Relatório de Vendas por Departamento", .direction = 'G', .register_name = "1",
     .role = R::kReport, .steps = kReportDepartments},
    {.kind = 7, .caption = "Relatório de Vendas por Operador", .direction = 'G', .register_name = "3",
     .role = R::kReport, .steps = kReportOperators},
    {.kind = 8, .caption = "Leitura do Cadastro de Operadores", .direction = 'S', .register_name = "user",
     .role = R::kReading, .steps = kAskOperators},
    {.kind = 9, .caption = "Leitura do Cadastro de Vendedores", .direction = 'S', .register_name = "vend",
     .role = R::kReading, .steps = kAskSellers},
    {.kind = 10, .caption = "Leitura do Cadastro de Grupos de Depto", .direction = 'S', .register_name = "grpdepto",
     .role = R::kReading, .steps = kAskGroups},
    {.kind = 11, .caption = "Leitura do Cadastro de Departamentos", .direction = 'S', .register_name = "depto",
     .role = R::kReading, .steps = kAskDepartments},
    {.kind = 12, .caption = "Leitura de Configuração de Finalizadoras", .direction = 'S',
     .register_name = "cfgfinal", .role = R::kReading, .steps = kAskPayments, .names_each_marker = true,
     .companion = "finaliz"},
    {.kind = 13, .caption = "Leitura de Configuração de Parâmetros Diversos/Periféricos", .direction = 'S',
     .register_name = "perif", .role = R::kReading, .steps = kAskOptions, .names_each_marker = true},
    {.kind = 14, .caption = "Leitura de Configuração de Parâmetros Descontos/Acréscimos", .direction = 'S',
     .register_name = "descacr", .role = R::kReading, .steps = kAskDiscounts},
    {.kind = 15, .caption = "Leitura de Configuração de Mensagem de Venda", .direction = 'S',
     .register_name = "footer", .role = R::kReading, .steps = kAskFooter},
    {.kind = 16, .caption = "Leitura do Cadastro de Clientes", .direction = 'S', .register_name = "Client",
     .role = R::kReading, .steps = kAskClients},
    {.kind = 17, .caption = "Leitura de Configuração da Loja", .direction = 'S', .register_name = "codbarra",
     .role = R::kReading, .steps = kAskStore},
    {.kind = 18, .caption = "Leitura do Cadastro de Produtos", .direction = 'S', .register_name = "Prods",
     .role = R::kReading, .steps = kAskProducts, .identity = Identity::kFile},
    {.kind = 19, .caption = "Leitura de Data e Hora do Equipamento", .direction = 'S', .register_name = "datahora",
     .role = R::kReading, .steps = kAskDateTime},
    {.kind = 20, .caption = "Leitura de Finalizadoras", .direction = 'S', .register_name = "finaliz",
     .role = R::kReading, .steps = kAskPayments, .names_each_marker = true, .companion = "cfgfinal"},
    {.kind = 21, .caption = "Leitura de Layout de Teclado", .direction = 'S', .register_name = "teclado",
     .role = R::kReading, .steps = kAskKeyboard},
    {.kind = 23, .caption = "Leitura de LOG", .direction = 'S', .register_name = "Logs", .role = R::kReading,
     .steps = kAskLog, .after_session = AfterSession::kConvertLog, .follow_up = RowFollowUp::kRepeatLog},
    {.kind = 24, .caption = "Leitura dos dados da loja", .direction = 'S', .register_name = "header",
     .role = R::kReading, .steps = kAskHeader},
    {.kind = 87, .caption = "Efetuar Limpeza de LOG", .direction = 'C', .register_name = "ZLogs",
     .role = R::kCommand, .steps = kClearLog},
    {.kind = 88, .caption = "Enviar Cadastro de Operadores", .direction = 'R', .register_name = "user",
     .role = R::kLoad, .steps = kSendOperators},
    {.kind = 99, .caption = "Enviar Cadastro de Vendedores", .direction = 'R', .register_name = "vend",
     .role = R::kLoad, .steps = kSendSellers},
    {.kind = 101, .caption = "Enviar Cadastro de Grupos de Depto", .direction = 'R', .register_name = "grpdepto",
     .role = R::kLoad, .steps = kSendGroups},
    {.kind = 111, .caption = "Enviar Cadastro de Departamentos", .direction = 'R', .register_name = "depto",
     .role = R::kLoad, .steps = kSendDepartments},
    {.kind = 121, .caption = "Enviar Configuração de Finalizadoras", .direction = 'R', .register_name = "finaliz",
     .role = R::kLoad, .steps = kSendPayments},
    {.kind = 131, .caption = "Enviar Configuração de Parâmetros Diversos/Periféricos", .direction = 'R',
     .register_name = "perif", .role = R::kLoad, .steps = kSendOptions},
    {.kind = 141, .caption = "Enviar Configuração de Parâmetros Descontos/Acréscimos", .direction = 'R',
     .register_name = "descacr", .role = R::kLoad, .steps = kSendDiscounts},
    {.kind = 151, .caption = "Enviar Configuração de Mensagem de Venda", .direction = 'R',
     .register_name = "footer", .role = R::kLoad, .steps = kSendFooter},
    {.kind = 161, .caption = "Enviar Cadastro de Clientes", .direction = 'R', .register_name = "Client",
     .role = R::kLoad, .steps = kSendClients, .block_size = 128},
    {.kind = 171, .caption = "Enviar Configuração da Loja", .direction = 0, .register_name = ""},
    {.kind = 181, .caption = "Enviar Cadastro de Produtos (Carga Completa)", .direction = 'R',
     .register_name = "Prods", .role = R::kLoad, .steps = kSendProducts, .identity = Identity::kAnswer,
     .clear = ClearProductLoad, .offers_queue_clear = true},
    {.kind = 191, .caption = "Envio de Data e Hora do Equipamento", .direction = 'R', .register_name = "datahora",
     .role = R::kLoad, .steps = kSendDateTime},
    {.kind = 202, .caption = "Enviar Cadastro de Finalizadoras", .direction = 0, .register_name = ""},
    {.kind = 211, .caption = "Enviar Layout de Teclado", .direction = 'R', .register_name = "teclado",
     .role = R::kLoad, .steps = kSendKeyboard},
    {.kind = 232, .caption = "Enviar Programacão da Loja", .direction = 0, .register_name = ""},
    {.kind = 241, .caption = "", .direction = 'R', .register_name = "header", .role = R::kLoad,
     .steps = kSendHeader},
    {.kind = 499, .caption = "Enviar Cadastro de Produtos(Alterar Estoque)", .direction = 'R',
     .register_name = "nlumnt", .role = R::kLoad, .steps = kSendChangedProducts, .offers_queue_clear = true,
     .caption_without_stock = "Enviar Cadastro de Produtos(Não Alterar Estoque)"},
    {.kind = 997, .caption = "Leitura SINTEGRA - Mês Anterior", .direction = 'S', .register_name = "r60mold",
     .role = R::kReading, .steps = kAskSintegraPrevious, .identity = Identity::kFile, .clear = ClearSintegraTexts,
     .follow_up = RowFollowUp::kSintegraFile},
    {.kind = 998, .caption = "Leitura SINTEGRA - Mês Atual", .direction = 'S', .register_name = "r60m",
     .role = R::kReading, .steps = kAskSintegraCurrent, .identity = Identity::kFile, .clear = ClearSintegraTexts,
     .follow_up = RowFollowUp::kSintegraFile},
};

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

std::span<const JobKind> JobTable() { return kJobs; }

const JobKind* FindJob(int kind) {
  if (auto extra = ExtraJobs().find(kind); extra != ExtraJobs().end()) return &extra->second;
  auto it = std::find_if(std::begin(kJobs), std::end(kJobs), [kind](const JobKind& j) { return j.kind == kind; });
  return it == std::end(kJobs) ? nullptr : &*it;
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
