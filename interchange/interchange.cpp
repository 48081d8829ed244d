#include "interchange/interchange.h"

namespace kaslo::interchange {

Operation Normalized(Operation op) {
  if (op.direction == Direction::kExport) op.source = Source::kNlufile;
  if (op.source == Source::kOpticash) {
    op.scope = Scope::kAll;
    op.convert = false;
  }
  return op;
}

std::string ModeWord(Direction direction) {
  return direction == Direction::kExport ? "Exportação" : "Importação";
}

std::string WindowCaption(Direction direction, Scope scope) {
  return ModeWord(direction) + (scope == Scope::kAll ? " de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"
                                                     : " de Produtos ( Alterados ) - Arquivo [ NLUMNT.MTR ]");
}

std::string Question(Direction direction) { return "Confirma efetuar " + ModeWord(direction) + " de Produtos ?"; }

Outcome Run(const db::Database&, const Operation&, Gauge&) { return {}; }

std::optional<ConversionSlots> ReadConversion(const db::Database&) { return std::nullopt; }
bool IsConversionEntry(std::string_view) { return false; }
bool WriteConversion(const db::Database&, const ConversionSlots&) { return false; }

}  // namespace kaslo::interchange
