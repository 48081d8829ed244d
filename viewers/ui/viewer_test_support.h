// What the viewer's window tests share: the viewer met as it opens modally,
// and the grid's cells as the user reads them.
#pragma once

#include <QTableWidget>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "common/ui/ModalHelper.h"
#include "db/backup.h"
#include "db/database.h"
#include "viewers/ui/TFTcpViewCad.h"

namespace kaslo::ui::viewer_test {

// Runs `open`, which shows the register viewer modally, and `act` on the
// viewer once its display is done; closes the window if act left it open.
// False when no viewer appeared.
inline bool OnViewer(const std::function<void()>& open, const std::function<void(TFTcpViewCad&)>& act) {
  bool ran = false;
  WhenModal(
      [&](QWidget* w) {
        if (auto* viewer = qobject_cast<TFTcpViewCad*>(w)) {
          ran = true;
          act(*viewer);
        }
        if (w->isVisible()) w->close();
      },
      60000);
  open();
  return ran;
}

inline QTableWidget* GridOf(TFTcpViewCad& v) { return v.findChild<QTableWidget*>(QStringLiteral("Grid")); }

inline QString Cell(QTableWidget* grid, int r, int c) {
  const QTableWidgetItem* item = grid->item(r, c);
  return item ? item->text() : QString();
}

// The viewer's message after a finished replacement in the data directory
// `dir`: "Substituição de cadastro completa !" and the line of the newest
// backup of `operation` ("substituicao-ycoope"); without one, a line that
// names no folder, which no window shows.
inline std::string CompletaWithBackup(const std::filesystem::path& dir, const std::string& operation) {
  std::string name;
  for (const db::BackupInfo& b : db::ListBackups(db::Database(dir))) {
    if (b.operation == operation) name = b.name;
  }
  return "Substituição de cadastro completa !\r" + db::BackupLine(name);
}

}  // namespace kaslo::ui::viewer_test
