// TFCargaTcp, the communication window: one job (the menu item's tag) with
// the terminals the user selects. The job itself (files, server, rows,
// follow-ups, the closing question) is comm::JobRunner; this window shows
// its terminal list, passes the clicks on, and hands a finished terminal's
// data to the text viewer or the register viewer.
//
// Rows change on the server's connection threads; the runner's wakeup only
// posts a queued call, and the rows are drawn on this window's thread, so
// the window never waits for a terminal.
#pragma once

#include <QDialog>
#include <QIcon>
#include <array>
#include <memory>

#include "comm/job_runner.h"
#include "comm/jobs.h"
#include "db/database.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace kaslo::ui {

class TFCargaTcp final : public QDialog {
  Q_OBJECT

 public:
  // Fills the list from Ycoter and sets the caption of job `tag`. Engine
  // errors (a missing table) are thrown as db::Error.
  TFCargaTcp(const db::Database& db, int tag, QWidget* owner = nullptr, comm::JobOptions options = {});
  // Stops the server without asking anything (done() asks).
  ~TFCargaTcp() override;

  int tag() const { return tag_; }
  comm::JobRunner& runner() { return *runner_; }

  // Closing: stops the server and asks the closing question of a product
  // load, once, however the window is closed.
  void done(int result) override;

 private slots:
  void FormCreate();
  void ListPluDblClick(QTreeWidgetItem* item);
  void btnIndividualClick();
  void btnTodosClick();
  void btnIniciarClick();
  void btnVisualizarClick();
  // Draws the rows the runner reports changed (queued from the connection threads).
  void RowsChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DrawRow(size_t row);
  void DrawAll();
  void ShowLabel();

  db::Database db_;
  const int tag_;
  std::unique_ptr<comm::JobRunner> runner_;
  bool closed_ = false;
  std::array<QIcon, 6> images_;

  QTreeWidget* ListPlu;
  QLabel* lblPorta;
  QLineEdit* edtPorta;
  QPushButton* btnIndividual;
  QPushButton* btnTodos;
  QPushButton* btnIniciar;
  QPushButton* btnVisualizar;
  QLabel* lblDica;
  QLabel* lblAguarde;
};

struct OpenContext;

// The opener the main menu and TFR60 use: TFCargaTcp on the context's data
// directory with its tag, modal, destroyed when it closes.
void OpenTFCargaTcp(const OpenContext& context);

}  // namespace kaslo::ui
