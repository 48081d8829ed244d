// TFTcpViewCad (form FTcpViewCad), the register viewer: shows a register that
// a terminal sent back (operators, sellers, department groups, departments,
// clients or products) in a grid, and on "&Substituir Cadastro" writes the
// grid's rows into the workstation's table. The communication window opens
// it through the window registry under the name "TFTcpViewCad" for one
// finished terminal; decoding and replacement are the core's (viewers/).
#pragma once

#include <QDialog>
#include <string>

#include "common/ui/WindowRegistry.h"
#include "db/database.h"
#include "viewers/register_grid.h"
#include "viewers/register_viewer.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QShowEvent;
class QTableWidget;

namespace kaslo::ui {

class TFTcpViewCad final : public QDialog {
  Q_OBJECT

 public:
  // Takes the job kind (tag), title, terminal, address, main reception file
  // and data directory from the context; the tag must be a kind that
  // kaslo::viewers::IsRegisterKind accepts. The display runs when the window
  // is first shown; an engine error of the display or of a replacement is
  // shown with the engine's own text.
  explicit TFTcpViewCad(const OpenContext& context);

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void FormShow();
  void BtnSubClick();
  void btnCancelaClick();

 private:
  // Puts a display's headers and rows into Grid and the total into the caption.
  void ShowGrid(const kaslo::viewers::RegisterGrid& grid);
  // The grid's cells as the user sees them, for the replacement.
  kaslo::viewers::RegisterGrid GridCells() const;

  db::Database db_;
  kaslo::viewers::ViewerJob job_;
  std::string title_;
  bool shown_ = false;

  QGroupBox* GBTer;
  QLabel* lbl_estacao;
  QLabel* lbl_ter_ecfser;
  QLabel* lblDate;
  QLabel* lblHr;
  QGroupBox* GBGeral;
  QTableWidget* Grid;
  QPushButton* BtnSub;
  QPushButton* btnCancela;
};

}  // namespace kaslo::ui
