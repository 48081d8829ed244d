// Dispatch of the register viewer by job kind.
#include "viewers/register_viewer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "comm/job_table.h"
#include "viewers/client_register.h"
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

RegisterGrid Products(const db::Database& db, const ViewerJob& job) {
  return DisplayProducts(db, job.reception_file, db.pathFor(IdentificationFileName(job.terminal)));
}

// The readings the viewer shows, and what "&Substituir Cadastro" writes.
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
    {kLeituraClientes, FromFile<DisplayClients>, ReplaceClients},
    // The store configuration has no display yet: an empty grid, nothing written.
    {kLeituraConfigLoja, [](const db::Database&, const ViewerJob&) { return RegisterGrid{}; }, NothingReplaced},
    {kLeituraProdutos, Products, ReplaceProducts},
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

bool IsRegisterKind(int kind) {
  return std::any_of(std::begin(kViews), std::end(kViews), [kind](const RegisterView& v) { return v.kind == kind; });
}

std::string_view RegisterName(int kind) {
  const comm::JobKind* job = IsRegisterKind(kind) ? comm::FindJob(kind) : nullptr;
  return job ? job->register_name : std::string_view();
}

RegisterGrid DisplayRegister(const db::Database& db, const ViewerJob& job) { return ViewOf(job.kind).display(db, job); }

ReplaceOutcome ReplaceRegister(const db::Database& db, int kind, const RegisterGrid& grid) {
  return ViewOf(kind).replace(db, grid);
}

}  // namespace kaslo::viewers
