// kaslo-editor-bench: how long the product window takes to open on a store
// of many products (100,000 by default), offscreen, and how many rows its
// grid model reads to show the first page.
//
//   kaslo-editor-bench [products]
#include <QApplication>
#include <QTableView>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "db/temp_data_dir.h"
#include "registers/ui/TFCadProd_DB.h"

namespace kaslo::bench {

using ui::TFCadProd_DB;

int Main(int argc, char** argv) {
  // With KASLO_SHOW set the window stays on the display for a look.
  const bool show = qEnvironmentVariableIsSet("KASLO_SHOW");
  if (!show) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const size_t products = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  db::testing::TempDataDir dir({.demo = true, .generated_products = products});
  if (show) {
    TFCadProd_DB window(nullptr, dir.path());
    window.move(40, 40);
    window.show();
    if (qgetenv("KASLO_SHOW") == "edit") {
      QMetaObject::invokeMethod(&window, [&] { window.Alterar(); }, Qt::QueuedConnection);
    }
    QTimer::singleShot(4000, &app, &QApplication::quit);
    return app.exec();
  }
  using Clock = std::chrono::steady_clock;
  for (int run = 0; run < 3; ++run) {
    const auto start = Clock::now();
    TFCadProd_DB window(nullptr, dir.path());
    window.show();
    QApplication::processEvents();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    auto* grid = window.findChild<QTableView*>("Grid");
    std::printf("open %zu products: %.1f ms (grid rows %d)\n", window.MainTable().recordCount(), ms,
                grid->model()->rowCount());
    const auto scroll = Clock::now();
    grid->scrollToBottom();
    QApplication::processEvents();
    std::printf("  scroll to the last row: %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - scroll).count());
  }
  return 0;
}

}  // namespace kaslo::bench

int main(int argc, char** argv) { return kaslo::bench::Main(argc, argv); }
