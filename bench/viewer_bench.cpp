// kaslo-viewer-bench: times the product register of the register viewer at
// store scale: the display of a terminal's product file and the replacement
// of Ycopro (copies beside the tables, appends, swap, index check).
//
//   kaslo-viewer-bench [N [RUNS]]    N products (10000), RUNS runs (3)
//
// Each run installs a fresh demo data directory under the system's temporary
// directory, writes an 86-byte product file of N records, and prints the
// time of each phase to stderr and the rows written to stdout. The folder is
// removed at the end.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "db/database.h"
#include "db/install.h"
#include "db/tables/ycopro.h"
#include "viewers/product_register.h"
#include "viewers/register_viewer.h"

namespace fs = std::filesystem;

namespace kaslo::bench {

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One 86-byte record as a terminal returns it; every field varies with i.
std::string ProductRecord(size_t i) {
  std::string r = CompactaBCD(NumeroComZeros(12, 0, static_cast<double>(100000 + i))) +
                  CompletaDireita("PRODUTO " + std::to_string(i), 20) +
                  CompactaBCD(NumeroComZeros(8, 0, static_cast<double>(100 + i % 9000))) +
                  CompactaBCD(NumeroComZeros(2, 0, static_cast<double>(1 + i % 5))) +
                  CompactaBCD(NumeroComZeros(2, 0, static_cast<double>(1 + i % 9))) +
                  CompactaBCD(NumeroComZeros(12, 0, static_cast<double>(i % 500))) + std::string(36, '\0') +
                  CompactaBCD(NumeroComZeros(8, 0, static_cast<double>(i * 10 % 10000000))) +
                  std::string(1, static_cast<char>(i % 2 ? 0x01 : 0x00)) + std::string(1, static_cast<char>('0' + i % 10));
  r.resize(kaslo::viewers::kLongProductRecord, '\0');
  return r;
}

struct Timings {
  double display_ms = 0;
  double replace_ms = 0;
};

Timings Run(size_t n, const fs::path& dir) {
  db::InstallDataDirectory(dir, {.demo = true});
  db::Database db(dir);
  {
    std::ofstream id(dir / "Sid1.rec", std::ios::binary);
    id << std::string(21, '0') << "5" << "\r\n";
    std::ofstream prods(dir / "SProds1.rec", std::ios::binary);
    for (size_t i = 0; i < n; ++i) prods << ProductRecord(i);
  }
  Timings t;
  auto start = Clock::now();
  kaslo::viewers::RegisterGrid grid =
      kaslo::viewers::DisplayRegister(db, {kaslo::viewers::kLeituraProdutos, "1", dir / "SProds1.rec"});
  t.display_ms = MillisecondsSince(start);

  start = Clock::now();
  kaslo::viewers::ReplaceOutcome outcome = kaslo::viewers::ReplaceProducts(db, grid);
  t.replace_ms = MillisecondsSince(start);
  if (!outcome.completed) {
    std::fprintf(stderr, "replacement failed: %s %s\n", outcome.message.c_str(), outcome.detail.c_str());
    std::exit(1);
  }
  std::printf("rows %zu written %zu in Ycopro %zu\n", grid.rows.size(), outcome.rows_written,
              static_cast<size_t>(db.open(ycopro::kTable)->recordCount()));
  return t;
}

}  // namespace

int Main(int argc, char** argv) {
  const size_t n = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 10000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  std::random_device rd;
  const fs::path base = fs::temp_directory_path() / ("kaslo-viewer-bench-" + std::to_string(rd()));
  for (int r = 1; r <= runs; ++r) {
    const fs::path dir = base / std::to_string(r);
    Timings t = Run(n, dir);
    std::fprintf(stderr, "run %d: display %10.2f ms   replace %10.2f ms\n", r, t.display_ms, t.replace_ms);
  }
  std::error_code ec;
  fs::remove_all(base, ec);
  return 0;
}

}  // namespace kaslo::bench

int main(int argc, char** argv) { return kaslo::bench::Main(argc, argv); }
