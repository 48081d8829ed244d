// Product interchange with other store systems: NLUFILE.MTR (every product),
// NLUMNT.MTR (the products of the change queue) and OPTICASH.TXT (another
// point-of-sale system's product list), all in the data directory, Latin-1
// lines ending in CR LF. The window and `kaslo export|import` both run
// Run(); the question before it and the final box are theirs.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/database.h"

namespace kaslo::interchange {

enum class Direction { kExport, kImport };
enum class Scope { kAll, kChanged };          // NLUFILE.MTR / NLUMNT.MTR
enum class Source { kNlufile, kOpticash };    // the file type of an import

struct Operation {
  Direction direction = Direction::kExport;
  Scope scope = Scope::kAll;
  Source source = Source::kNlufile;  // exports always write the product files
  bool convert = false;              // tax codes through Q5200.CVS; ignored for OPTICASH.TXT
};

// OPTICASH.TXT is always a whole list: its scope is forced to kAll and the
// conversion is off.
Operation Normalized(Operation op);

// "Exportação" / "Importação".
std::string ModeWord(Direction direction);
// "Exportação de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]" and the like.
std::string WindowCaption(Direction direction, Scope scope);
// "Confirma efetuar Importação de Produtos ?": asked with No as the default.
std::string Question(Direction direction);

// The window's gauge: the rows written on export, the bytes read on import.
// Moves are reported only when they are visible (1/200 of the maximum) and
// at the end.
class Gauge {
 public:
  virtual ~Gauge() = default;
  virtual void start(int64_t maximum) = 0;  // shown, at 0
  virtual void move(int64_t position) = 0;
  virtual void stop() = 0;  // hidden
};

struct Outcome {
  bool done = false;    // the operation ran to its end (the success text)
  std::string message;  // the final box (UTF-8, lines separated by "\r")
  size_t lines_written = 0;           // export: lines of the file; import: rows stored
  std::vector<size_t> skipped_lines;  // import: 1-based numbers of lines that could not be stored
  size_t unconverted = 0;             // products whose tax code had no slot in Q5200.CVS
  std::string backup;                 // import: the backup folder of the tables it changed
};

// Runs the operation: the progress window's "Aguarde, processando banco de
// dados..." goes through the progress port, the gauge through `gauge`.
// Failures that the system reports (a table in use, a missing file) come
// back as an Outcome that is not done; engine and file errors that end an
// import in the middle throw db::Error, and a full import then leaves
// every table as it was.
Outcome Run(const db::Database& db, const Operation& op, Gauge& gauge);

// ---- the tax conversion file Q5200.CVS (16 slots, slot k for tax code k)

inline constexpr int kConversionSlots = 16;
using ConversionSlots = std::array<std::string, kConversionSlots>;

// The slots as the operations use them: a line that reads as a number above
// 0 is trimmed and cut to two characters, anything else leaves its slot
// empty. nullopt when the file is missing.
std::optional<ConversionSlots> ReadConversion(const db::Database& db);
// True for an entry the editor accepts: empty, or one or two digits that
// read as a number above 0.
bool IsConversionEntry(std::string_view entry);
// Writes the 16 lines (an empty line for an empty slot), creating the file
// or keeping the letter case of its name; written beside and renamed into
// place. False when it cannot be written.
bool WriteConversion(const db::Database& db, const ConversionSlots& slots);

}  // namespace kaslo::interchange
