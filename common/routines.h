// The shared routines in one include: text, numbers, dates, check digits,
// files and the progress window.
#pragma once

#include "common/checkdigits.h"
#include "common/dates.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
