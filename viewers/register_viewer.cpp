// Dispatch of the register viewer by job kind.
#include "viewers/register_viewer.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <system_error>

#include "viewers/client_register.h"
#include "viewers/product_register.h"
#include "viewers/text_registers.h"

namespace kaslo::viewers {
namespace {

[[noreturn]] void NotARegister(int kind) {
  throw std::invalid_argument("job kind " + std::to_string(kind) + " has no register display here");
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

bool IsRegisterKind(int kind) { return !RegisterName(kind).empty(); }

std::string_view RegisterName(int kind) {
  switch (kind) {
    case kLeituraOperadores: return "user";
    case kLeituraVendedores: return "vend";
    case kLeituraGrupos: return "grpdepto";
    case kLeituraDepartamentos: return "depto";
    case kLeituraClientes: return "Client";
    case kLeituraConfigLoja: return "codbarra";
    case kLeituraProdutos: return "Prods";
    default: return {};
  }
}

RegisterGrid DisplayRegister(const db::Database& db, const ViewerJob& job) {
  switch (job.kind) {
    case kLeituraOperadores: return DisplayOperators(job.reception_file);
    case kLeituraVendedores: return DisplaySellers(job.reception_file);
    case kLeituraGrupos: return DisplayGroups(job.reception_file);
    case kLeituraDepartamentos: return DisplayDepartments(job.reception_file);
    case kLeituraClientes: return DisplayClients(job.reception_file);
    case kLeituraConfigLoja: return {};
    case kLeituraProdutos:
      return DisplayProducts(db, job.reception_file, db.pathFor(IdentificationFileName(job.terminal)));
    default: NotARegister(job.kind);
  }
}

ReplaceOutcome ReplaceRegister(const db::Database& db, int kind, const RegisterGrid& grid) {
  switch (kind) {
    case kLeituraOperadores: return ReplaceOperators(db, grid);
    case kLeituraVendedores: return ReplaceSellers(db, grid);
    case kLeituraGrupos: return ReplaceGroups(db, grid);
    case kLeituraDepartamentos: return ReplaceDepartments(db, grid);
    case kLeituraClientes: return ReplaceClients(db, grid);
    case kLeituraConfigLoja: {
      ReplaceOutcome nothing;
      nothing.completed = true;
      return nothing;
    }
    case kLeituraProdutos: return ReplaceProducts(db, grid);
    default: NotARegister(kind);
  }
}

}  // namespace kaslo::viewers
