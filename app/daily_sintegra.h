// The daily SINTEGRA files: for a month and a terminal, the SINTEGRA file
// "SINTEGRA" + n + ".txt" rebuilt from the terminal's LOG text (the daily
// reductions as 60M/60A, the items sold per product and day as 60D/75),
// and the menu command "Gerar arquivo diario" that builds it for every
// terminal of Ycoter.
#pragma once

#include <string>
#include <string_view>

#include "db/database.h"

namespace kaslo::app {

// The LOG text the generator reads for terminal n: "SLogs" + n + ".trz",
// which holds the terminal's whole LOG once whether or not the terminal
// clears its LOG after a reading.
std::string DailyLogFileName(int terminal);

// Builds "SINTEGRA" + n + ".txt" in db.dir() for the period "mmyyyy"; only
// reductions and items dated within that month go into the file. Leaves
// "ARQ60" + n + ".txt", "ARQ60A" + n + ".txt", "R60D.TXT" and "R75.TXT"
// behind (rewritten by the next call) and no working store.
// Returns false, without a result file:
// - when the LOG text is missing or empty, after the error box
//   "Sem arquivo de LOG para geração do Diário. Terminal:" + n;
// - when a LOG line does not hold what its code says (a field that is not a
//   number, a line too short for its fields), after an error box naming the
//   file and the line;
// - when the period is not a month ("3/008").
// Table and file errors are thrown (db::Error).
bool GenerateDailySintegra(const db::Database& db, std::string_view period, int terminal);

// The period text of the answer to the period question: characters 4 to 7
// (the year) after characters 1 and 2 (the month), so "03/2008" gives
// "032008" and "3/2008" gives "3/008". The answer is not otherwise checked.
std::string DailyPeriodText(std::string_view answer);

struct DailyOutcome {
  int succeeded = 0;
  int failed = 0;
};

// Generates the file of every terminal of Ycoter, in the order of its tag
// Um, then shows "Arquivo(s) SINTEGRA(N).TXT Gerado!" when at least one
// succeeded and the error box "Houve erros na geração dos arquivos
// Sintegra" when at least one failed (both, in that order). A db::Error of
// a generation ends the run without a final box.
DailyOutcome GenerateDailySintegraForAllTerminals(const db::Database& db, std::string_view period);

// The menu command "Gerar arquivo diario": asks the period ("Digite o mês e
// ano (MM/AAAA)", prompt "Prompt", pre-filled with today's "mm/yyyy") and
// runs the generation for every terminal. Returns false when the question
// was cancelled.
bool GerarArquivoDiario(const db::Database& db);

}  // namespace kaslo::app
