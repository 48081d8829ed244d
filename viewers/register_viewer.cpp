// Dispatch of the register viewer by job kind.
#include "viewers/register_viewer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "comm/job_table.h"
#include "comm/received_files.h"
#include "common/numbers.h"
#include "viewers/client_register.h"
#include "viewers/config_registers.h"
#include "viewers/product_register.h"
#include "viewers/text_registers.h"

namespace kaslo::viewers {
namespace {

[[noreturn]] void NotARegister(int kind) {
  throw std::invalid_argument("job kind " + std::to_string(kind) + " has no register display here");
}

ReplaceOutcome NothingReplaced(const db::Database&, const RegisterGrid&) {
  ReplaceOutcome nothing;
  nothing.completed = true;
  return nothing;
}

template <RegisterGrid (*Display)(const std::filesystem::path&)>
RegisterGrid FromFile(const db::Database&, const ViewerJob& job) {
  return Display(job.reception_file);
}

template <RegisterGrid (*Display)(const db::Database&, const std::filesystem::path&)>
RegisterGrid FromTableAndFile(const db::Database& db, const ViewerJob& job) {
  return Display(db, job.reception_file);
}

RegisterGrid Products(const db::Database& db, const ViewerJob& job) {
  return DisplayProducts(db, job.reception_file, db.pathFor(IdentificationFileName(job.terminal)));
}

// 12 reads the configuration file with the names as its companion, 20 the
// other way round.
RegisterGrid PaymentConfig(const db::Database&, const ViewerJob& job) {
  return DisplayPaymentConfig(job.companion, job.reception_file);
}

RegisterGrid Payments(const db::Database&, const ViewerJob& job) {
  return DisplayPayments(job.reception_file, job.companion);
}

// The two other lines of the parameters lie beside the peripherals' file.
RegisterGrid Parameters(const db::Database&, const ViewerJob& job) {
  const std::filesystem::path dir = job.reception_file.parent_path();
  return DisplayParameters(job.reception_file, dir / ReceptionFileName("codbarra", job.terminal),
                           dir / ReceptionFileName("flags", job.terminal));
}

RegisterGrid EmptyGrid(const db::Database&, const ViewerJob&) { return {}; }

// The readings the viewer shows, and what "&Substituir Cadastro" writes
// (nothing: view only).
struct RegisterView {
  int kind;
  RegisterGrid (*display)(const db::Database&, const ViewerJob&);
  ReplaceOutcome (*replace)(const db::Database&, const RegisterGrid&);
};

constexpr RegisterView kViews[] = {
    {kLeituraOperadores, FromFile<DisplayOperators>, ReplaceOperators},
    {kLeituraVendedores, FromFile<DisplaySellers>, ReplaceSellers},
    {kLeituraGrupos, FromFile<DisplayGroups>, ReplaceGroups},
    {kLeituraDepartamentos, FromFile<DisplayDepartments>, ReplaceDepartments},
    {kLeituraCfgFinalizadoras, PaymentConfig, ReplacePaymentConfig},
    {kLeituraParametros, Parameters, ReplaceParameters},
    {kLeituraDescontos, FromFile<DisplayDiscounts>, ReplaceDiscounts},
    {kLeituraMensagem, FromFile<DisplaySaleMessage>, ReplaceSaleMessage},
    {kLeituraClientes, FromFile<DisplayClients>, ReplaceClients},
    // The store configuration has no display of its own: an empty grid,
    // nothing written after the confirmation.
    {kLeituraConfigLoja, EmptyGrid, NothingReplaced},
    {kLeituraProdutos, Products, ReplaceProducts},
    {kLeituraDataHora, FromFile<DisplayDateTime>, nullptr},
    {kLeituraFinalizadoras, Payments, ReplacePayments},
    {kLeituraTeclado, FromTableAndFile<DisplayKeyboard>, ReplaceKeyboard},
    {kLeituraDadosLoja, FromFile<DisplayStoreData>, nullptr},
};

const RegisterView& ViewOf(int kind) {
  for (const RegisterView& view : kViews)
    if (view.kind == kind) return view;
  NotARegister(kind);
}

}  // namespace

FileStamp ReceptionFileStamp(const std::filesystem::path& file) {
  std::error_code ec;
  auto written = std::filesystem::last_write_time(file, ec);
  if (ec) return {};
  std::time_t t = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::filesystem::file_time_type::clock::to_sys(written)));
  std::tm tm{};
  localtime_r(&t, &tm);
  char date[40];
  char time[40];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
  std::snprintf(time, sizeof time, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
  return {date, time};
}

ViewerJob ReceivedJob(const std::filesystem::path& dir, int kind, std::string_view terminal) {
  ViewOf(kind);
  const std::optional<comm::RegisterFiles> files =
      comm::RegisterFilesOf(kind, dir, static_cast<int>(TextoParaInteiro(terminal)));
  if (!files) NotARegister(kind);
  return {kind, std::string(terminal), files->file, files->companion};
}

bool IsRegisterKind(int kind) {
  return std::any_of(std::begin(kViews), std::end(kViews), [kind](const RegisterView& v) { return v.kind == kind; });
}

bool HasDisplay(int kind) { return IsRegisterKind(kind) && ViewOf(kind).display != EmptyGrid; }

bool IsViewOnly(int kind) { return IsRegisterKind(kind) && ViewOf(kind).replace == nullptr; }

bool HasReplacement(int kind) {
  if (!IsRegisterKind(kind)) return false;
  const RegisterView& view = ViewOf(kind);
  return view.replace != nullptr && view.replace != NothingReplaced;
}

std::string_view RegisterName(int kind) {
  const comm::JobKind* job = IsRegisterKind(kind) ? comm::FindJob(kind) : nullptr;
  return job ? job->register_name : std::string_view();
}

RegisterGrid DisplayRegister(const db::Database& db, const ViewerJob& job) { return ViewOf(job.kind).display(db, job); }

ReplaceOutcome ReplaceRegister(const db::Database& db, int kind, const RegisterGrid& grid) {
  const RegisterView& view = ViewOf(kind);
  if (!view.replace)
    throw std::invalid_argument("job kind " + std::to_string(kind) + " is view only: nothing is replaced");
  return view.replace(db, grid);
}

}  // namespace kaslo::viewers
