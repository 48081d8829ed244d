// The SINTEGRA file built from a terminal's SINTEGRA reading: the received
// identity ("Sid"), product memory ("SProds") and daily reductions ("Sr60m" or
// "Sr60mold") of terminal n become "r60m" + n + ".txt" or "r60mold" + n +
// ".txt" in the data directory, fixed 126-character records ended by CR LF.
#pragma once

#include <chrono>

#include "db/database.h"

namespace kaslo::comm {

// Job kinds of the SINTEGRA reading.
inline constexpr int kJobSintegraCurrentMonth = 998;   // "Mês atual": Sr60m, r60m
inline constexpr int kJobSintegraPreviousMonth = 997;  // "Mês anterior": Sr60mold, r60mold

// The date whose calendar month the file covers: today for the current
// month; for the previous month, the last day of the month before today's
// (so 31 March gives 28 or 29 February, 15 January the December before).
// Any other job kind gives today.
std::chrono::year_month_day SintegraPeriodDate(int job_kind, std::chrono::year_month_day today);

// Builds the file of terminal `terminal` for job 997 or 998 over the
// calendar month of period_date, from the received files of that terminal
// in db.dir(). On success the file is written anew, the received product and
// reduction files are deleted and true is returned. Returns false, leaving
// every file as it was, when the job kind is not 997/998 or the identity,
// product or reduction file of the terminal is missing. Table and file
// errors are thrown (db::Error); so is a product file that is not a whole
// number of records of the length the identification selects, with the
// text "Arquivo SProds<n>.rec com tamanho inválido (<size> bytes) !", before
// anything is written and with every file left as it was. Called on the
// thread that owns db.
bool BuildSintegraFromReading(const db::Database& db, int terminal, int job_kind,
                              std::chrono::year_month_day period_date);

}  // namespace kaslo::comm
