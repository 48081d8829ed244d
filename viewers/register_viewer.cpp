// Dispatch of the register viewer by job kind.
#include "viewers/register_viewer.h"

#include <stdexcept>

#include "viewers/client_register.h"
#include "viewers/product_register.h"
#include "viewers/text_registers.h"

namespace kaslo::viewers {
namespace {

[[noreturn]] void NotARegister(int kind) {
  throw std::invalid_argument("job kind " + std::to_string(kind) + " has no register display here");
}

}  // namespace

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
