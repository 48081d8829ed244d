// The frame offscreen, through the department and tax windows: toolbar and
// menu, states, limits, Esc and the close box, find, pickers, the code
// allocation that gives up while another station holds the parameter table,
// the highlighted row after clicks that re-sort, numeric boxes, and the
// group window.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QToolButton>
#include <QToolBar>
#include <QGroupBox>
#include "db/tables/ycotrb.h"
#include <QtTest>

#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/WindowRegistry.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycoprm.h"
#include "db/temp_data_dir.h"
#include "registers/parameter_testing.h"
#include "registers/ui/TFCadDepto.h"
#include "registers/ui/TFCadGrpDepto.h"
#include "registers/ui/TFCadTrib.h"
#include "registers/ui/TFLocaliza.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;

namespace {

QString Panel1(QWidget& w) { return w.findChild<QLabel*>("StatusPanel1")->text(); }

void KeepDepartments(const db::Database& db, int count) {
  auto dep = db.open(ycodep::kTable);
  for (dep->first(); !dep->eof();) dep->remove();
  for (int i = 1; i <= count; ++i) {
    dep->append();
    dep->setNumber(ycodep::DEP_CODIGO, i);
    dep->setString(ycodep::DEP_DESCR, "DEP " + std::to_string(i));
    dep->post();
  }
}

std::vector<double> Codes(const db::Database& db) {
  std::vector<double> codes;
  auto dep = db.open(ycodep::kTable, {.tag = "Um", .exclusive = false});
  for (dep->first(); !dep->eof(); dep->next()) codes.push_back(dep->asNumber(ycodep::DEP_CODIGO));
  return codes;
}

// Opens a picker as a caller would and closes it at once, as the user does
// on the record to choose.
std::string PickAndClose(RecordEditor& picker) {
  picker.hide();
  WhenModal([](QWidget* dialog) { dialog->close(); });
  return RecordEditor::Pick(picker);
}

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void toolbarMenuAndHints() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadDepto w(nullptr, dir.path());
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Departamentos   -   Ordenado por Código"));
    QStringList buttons;
    for (QAction* a : w.findChild<QToolBar*>("SpeedBar1")->actions()) {
      if (!a->objectName().isEmpty()) buttons << a->objectName() + "=" + a->text() + "=" + a->shortcut().toString();
    }
    QCOMPARE(buttons, (QStringList{"Incluir=&Incluir=Alt+I", "Alterar=&Alterar=Alt+A", "Excluir=&Excluir=Alt+E",
                                   "Cancelar=&Cancelar=Alt+C", "Gravar=&Gravar=Alt+G",
                                   "Localizar=&Localizar=Alt+L", "Sair=Sair=Esc"}));
    QVERIFY(w.findChild<QToolButton*>("btnGravar"));
    QCOMPARE(Action(w, "Excluir")->toolTip(), QStringLiteral("Excluir"));
    QCOMPARE(Action(w, "Excluir")->statusTip(), QStringLiteral("Excluir do cadastro o registro atual"));
    QStringList menu;
    QMenu* m = w.findChild<QMenuBar*>("MainMenu1")->actions().first()->menu();
    QCOMPARE(w.findChild<QMenuBar*>("MainMenu1")->actions().first()->text(), QStringLiteral("&Manutenção"));
    for (QAction* a : m->actions()) menu << (a->isSeparator() ? "-" : a->objectName());
    QCOMPARE(menu, (QStringList{"Incluir", "Alterar", "Excluir", "-", "Cancelar", "Gravar", "-", "Localizar", "-", "Sair"}));
    QCOMPARE(Panel1(w), QStringLiteral("Total [ 8 ]"));
  }

  void emptyTableAndEditingDisables() {
    db::testing::TempDataDir dir({.demo = true});
    KeepDepartments(dir.db(), 0);
    ScriptedMessages messages;
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    QVERIFY(!Action(w, "Alterar")->isEnabled());
    QVERIFY(!Action(w, "Excluir")->isEnabled());
    QVERIFY(!Action(w, "Localizar")->isEnabled());
    QVERIFY(Action(w, "Incluir")->isEnabled());
    QCOMPARE(Panel1(w), QStringLiteral("Total [ 0 ]"));

    Action(w, "Incluir")->trigger();
    for (const char* name : {"Sair", "Incluir", "Alterar", "Excluir", "Localizar"}) QVERIFY(!Action(w, name)->isEnabled());
    QVERIFY(Action(w, "Gravar")->isEnabled());
    QVERIFY(!Edit(w, "DEP_CODIGO")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), Edit(w, "DEP_DESCR"));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());  // Esc does not close while editing

    // Enter moves on, and in the tax code saves; the description is missing
    QTest::keyClick(Edit(w, "DEP_DESCR"), Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), Edit(w, "TRB_CODIGO"));
    QTest::keyClick(Edit(w, "TRB_CODIGO"), Qt::Key_Return);
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Descrição ] deve ser preenchido !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "DEP_DESCR"));
    QTest::keyClicks(Edit(w, "DEP_DESCR"), "PEIXARIA");
    QTest::keyClicks(Edit(w, "TRB_CODIGO"), "7");
    QCOMPARE(w.findChild<QLabel*>("TRB_DESCR")->text(), QStringLiteral("TRIBUTAÇÃO NÃO CADASTRADA"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("Tributação não cadastrada  !"));
    Edit(w, "TRB_CODIGO")->setText("0");
    Action(w, "Gravar")->trigger();
    QVERIFY(Action(w, "Incluir")->isEnabled());
    QCOMPARE(Codes(dir.db()), (std::vector<double>{9}));  // next value of the counter
    QCOMPARE(Panel1(w), QStringLiteral("Total [ 1 ]"));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
  }

  void limitOf99() {
    db::testing::TempDataDir dir({.demo = true});
    KeepDepartments(dir.db(), 99);
    ScriptedMessages messages;
    {
      TFCadDepto w(nullptr, dir.path());
      Action(w, "Incluir")->trigger();
      QCOMPARE(messages.texts(), (std::vector<std::string>{
                                     "Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo "
                                     "de 99 registros."}));
      QVERIFY(Action(w, "Incluir")->isEnabled());
      // with 98 the insert proceeds
      messages.QueueConfirm(true);
      Action(w, "Excluir")->trigger();
      QCOMPARE(Panel1(w), QStringLiteral("Total [ 98 ]"));
      Action(w, "Incluir")->trigger();
      QVERIFY(Action(w, "Gravar")->isEnabled());
      Action(w, "Cancelar")->trigger();
    }
    messages.QueueConfirm(false);
    TFCadDepto w(nullptr, dir.path());
    Action(w, "Excluir")->trigger();
    QCOMPARE(Codes(dir.db()).size(), size_t{98});  // No leaves the table unchanged
  }

  void codeAllocationGivesUpWhileAnotherStationHoldsTheParameters() {
    db::testing::TempDataDir dir({.demo = true});
    KeepDepartments(dir.db(), 4);
    registers::testing::OtherStation other(dir.path());
    QVERIFY(other.held());
    ScriptedMessages messages;
    kaslo::testing::RecordingProgress progress;
    TFCadDepto w(nullptr, dir.path());
    w.SetLockOptions({.limit = std::chrono::milliseconds(400)});
    Action(w, "Incluir")->trigger();
    QTest::keyClicks(Edit(w, "DEP_DESCR"), "PEIXARIA");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (std::vector<std::string>{
                                   "Não foi possível incluir um novo registro !\r\nTente novamente, ou cancele a operação."}));
    QVERIFY(progress.Saw("Aguarde, processando registro..."));
    QVERIFY(Action(w, "Gravar")->isEnabled());  // still inserting
    other.LetGo();
    Action(w, "Gravar")->trigger();
    QVERIFY(!Action(w, "Gravar")->isEnabled());
    QCOMPARE(Codes(dir.db()), (std::vector<double>{1, 2, 3, 4, 9}));  // the counter of the demo is 8
  }

  void sortToggleAndFind() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    auto* grid = w.findChild<QTableView*>("Grid");
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Departamentos   -   Ordenado por Descrição"));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("AÇOUGUE"));
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Departamentos   -   Ordenado por Código"));

    WhenModal([](QWidget* dialog) {
      QCOMPARE(dialog->size(), QSize(358, 72));
      QCOMPARE(dialog->findChild<QGroupBox*>("GB")->title(), QStringLiteral("Digite o código e tecle ENTER"));
      auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
      QTest::keyClicks(edit, "a;,5");  // letters and separators cannot be typed
      QCOMPARE(edit->text(), QStringLiteral("5"));
      QTest::keyClick(edit, Qt::Key_Return);
    });
    Action(w, "Localizar")->trigger();
    QCOMPARE(Edit(w, "DEP_DESCR")->text(), QStringLiteral("AÇOUGUE"));
    QCOMPARE(grid->currentIndex().row(), 4);

    // closing returns the current code to a caller
    QCOMPARE(PickAndClose(w), std::string("5"));
  }

  void taxWindowShadesTheKeyAndPicks() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadTrib w(nullptr, dir.path());
    auto* grid = w.findChild<QTableView*>("Grid");
    QCOMPARE(grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(225, 247, 255));
    QVERIFY(!grid->model()->index(0, 1).data(Qt::BackgroundRole).isValid());
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Tributações   -   Ordenado por Descrição"));
    QVERIFY(!grid->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(grid->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(225, 247, 255));
    QVERIFY(!Action(w, "Incluir")->isEnabled());
    QVERIFY(!w.findChild<QWidget*>("Target")->isEnabled());
    QCOMPARE(Edit(w, "TRB_PERCEN")->text(), QStringLiteral("18.00"));  // still on code 1
    grid->setCurrentIndex(grid->model()->index(2, 1));  // ICMS 7%
    grid->setCurrentIndex(grid->model()->index(2, 0));
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Tributações   -   Ordenado por Código"));
    QCOMPARE(PickAndClose(w), std::string("3"));
  }

  void emptyPickerGivesAnEmptyCode() {
    db::testing::TempDataDir dir({.demo = true});
    {
      auto trb = dir.db().open(ycotrb::kTable);
      for (trb->first(); !trb->eof();) trb->remove();
    }
    TFCadTrib w(nullptr, dir.path());
    QCOMPARE(PickAndClose(w), std::string());
  }

  void highlightFollowsTheCurrentRecord() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    auto* grid = w.findChild<QTableView*>("Grid");
    // the highlighted row shows the department in the panel, and is the only one
    auto shown_is_highlighted = [&] {
      const int row = Highlighted(grid);
      QVERIFY(row >= 0);
      QCOMPARE(grid->currentIndex().row(), row);
      QCOMPARE(CellText(grid, row, 1), Edit(w, "DEP_DESCR")->text());
    };
    QCOMPARE(Highlighted(grid), 0);

    // a click on the fourth row's description re-sorts the rows under the mouse
    ClickCell(grid, 3, 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Departamentos   -   Ordenado por Descrição"));
    QCOMPARE(Edit(w, "DEP_CODIGO")->text(), QStringLiteral("04"));
    shown_is_highlighted();
    ClickCell(grid, 1, 0);  // back to the order by code, on BEBIDAS
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Departamentos   -   Ordenado por Código"));
    QCOMPARE(Edit(w, "DEP_DESCR")->text(), QStringLiteral("BEBIDAS"));
    shown_is_highlighted();

    // Excluir deletes what is highlighted, asking with No as the default
    ClickCell(grid, 6, 1);
    shown_is_highlighted();
    const QString doomed = CellText(grid, Highlighted(grid), 1);
    messages.QueueConfirm(true);
    Action(w, "Excluir")->trigger();
    QCOMPARE(messages.messages().back().text, std::string("Confirma a exclusão deste registro ?"));
    QCOMPARE(messages.messages().back().kind, kaslo::testing::MessageKind::kConfirm);
    QVERIFY(messages.messages().back().default_answer == kaslo::DefaultAnswer::kNo);
    QCOMPARE(grid->model()->rowCount(), 7);
    for (int row = 0; row < 7; ++row) QVERIFY(CellText(grid, row, 1) != doomed);
    shown_is_highlighted();

    // while a new department is made no existing row is highlighted
    Action(w, "Incluir")->trigger();
    QCOMPARE(Highlighted(grid), -1);
    Action(w, "Cancelar")->trigger();
    shown_is_highlighted();
    Action(w, "Incluir")->trigger();
    QTest::keyClicks(Edit(w, "DEP_DESCR"), "ADEGA");
    Action(w, "Gravar")->trigger();
    shown_is_highlighted();
    QCOMPARE(Edit(w, "DEP_DESCR")->text(), QStringLiteral("ADEGA"));

    WhenModal([](QWidget* dialog) {
      auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
      QTest::keyClicks(edit, "PA");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    Action(w, "Localizar")->trigger();
    QCOMPARE(Edit(w, "DEP_DESCR")->text(), QStringLiteral("PADARIA"));
    shown_is_highlighted();

    // the tax window, view only, re-sorted by a click
    TFCadTrib trib(nullptr, dir.path());
    ShowActive(trib);
    auto* trib_grid = trib.findChild<QTableView*>("Grid");
    ClickCell(trib_grid, 2, 1);
    QCOMPARE(trib.windowTitle(), QStringLiteral("Cadastro de Tributações   -   Ordenado por Descrição"));
    const int row = Highlighted(trib_grid);
    QVERIFY(row >= 0);
    QCOMPARE(CellText(trib_grid, row, 1), Edit(trib, "TRB_DESCR")->text());
  }

  void closeBoxWhileEditingDiscardsThePendingChanges() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    Edit(w, "DEP_DESCR")->setText("MUDADO");
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(w.isVisible());  // Esc still does not close while editing
    w.close();               // the close box does
    QVERIFY(!w.isVisible());
    QCOMPARE(w.windowTitle(), QStringLiteral("1"));  // a caller still reads the code
    auto dep = dir.db().open(ycodep::kTable, {.tag = "Um", .exclusive = false});
    QVERIFY(dep->findKey(1.0));
    QCOMPARE(dep->getString(ycodep::DEP_DESCR), std::string("MERCEARIA"));
    QCOMPARE(messages.texts(), std::vector<std::string>{});
  }

  void numericBoxesTakeWhatTheFieldHolds() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    auto* tax = Edit(w, "TRB_CODIGO");
    tax->clear();
    QTest::keyClicks(tax, "1a.-5");
    QCOMPARE(tax->text(), QStringLiteral("15"));
    QTest::keyClicks(tax, "00");  // 1500 does not fit three places
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Cód. da Tributação ] está fora do limite !"}));
    QCOMPARE(QApplication::focusWidget(), tax);
    tax->setText("ABC");  // not by the keyboard
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O campo [ Cód. da Tributação ] deve ser preenchido !"));
    QVERIFY(Action(w, "Gravar")->isEnabled());
    tax->setText("3");
    Action(w, "Gravar")->trigger();
    QVERIFY(!Action(w, "Gravar")->isEnabled());
    QCOMPARE(w.MainTable().asNumber(ycodep::TRB_CODIGO), 3.0);
    QCOMPARE(messages.texts().size(), size_t{2});

    TFCadGrpDepto groups(nullptr, dir.path());
    ShowActive(groups);
    Action(groups, "Incluir")->trigger();
    QTest::keyClicks(Edit(groups, "GRP_CODIGO"), "a1,2");
    QCOMPARE(Edit(groups, "GRP_CODIGO")->text(), QStringLiteral("12"));
  }

  void groupsMembershipsAndPickerCode() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadGrpDepto w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    QCOMPARE(QApplication::focusWidget(), Edit(w, "GRP_CODIGO"));
    QTest::keyClicks(Edit(w, "GRP_CODIGO"), "3");
    QCOMPARE(Edit(w, "GRP_DESCR")->text(), QStringLiteral("NÃO ALIMENTOS"));
    QVERIFY(!Edit(w, "GRP_DESCR")->isEnabled());
    QVERIFY(Edit(w, "DEP_CODIGO")->isEnabled());
    QTest::keyClicks(Edit(w, "DEP_CODIGO"), "5");
    QTest::keyClick(Edit(w, "DEP_CODIGO"), Qt::Key_Return);
    QCOMPARE(messages.texts(), (std::vector<std::string>{
                                   "Departamento [ 05 ] , já cadastrado no Grupo [ 02 PERECÍVEIS ] !"}));
    QVERIFY(Action(w, "Incluir")->isEnabled());  // cancelled

    Action(w, "Incluir")->trigger();
    QTest::keyClicks(Edit(w, "GRP_CODIGO"), "21");
    QTest::keyClicks(Edit(w, "GRP_DESCR"), "X");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O Código do Grupo não pode ser superior a 20 ( vinte ) !"));
    Edit(w, "GRP_CODIGO")->setText("0");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O campo [ Código ] deve ser preenchido !"));
    Edit(w, "GRP_CODIGO")->setText("9");
    QTest::keyClicks(Edit(w, "GRP_DESCR"), "UTILIDADES");
    QTest::keyClick(Edit(w, "GRP_DESCR"), Qt::Key_Return);  // no department: Enter saves
    QVERIFY(Action(w, "Incluir")->isEnabled());

    // rename group 2 through its group row
    auto& t = w.MainTable();
    t.findKey({2.0, 0.0});
    Action(w, "Alterar")->trigger();
    QCOMPARE(QApplication::focusWidget(), Edit(w, "GRP_DESCR"));
    Edit(w, "GRP_DESCR")->setText("FRESCOS");
    Action(w, "Gravar")->trigger();
    auto grp = dir.db().open(ycogrp::kTable, {.tag = "Um", .exclusive = false});
    int renamed = 0;
    for (grp->first(); !grp->eof(); grp->next()) {
      if (grp->asInteger(ycogrp::GRP_CODIGO) == 2) {
        QCOMPARE(grp->getString(ycogrp::GRP_DESCR), std::string("FRESCOS"));
        ++renamed;
      }
    }
    QCOMPARE(renamed, 5);

    t.findKey({2.0, 5.0});
    QCOMPARE(PickAndClose(w), std::string("002005"));
  }

  void groupFindSearchesTheGroupCode() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadGrpDepto w(nullptr, dir.path());
    ShowActive(w);
    WhenModal([](QWidget* dialog) {
      // the group code alone, not group;department
      QCOMPARE(dialog->findChild<QGroupBox*>("GB")->title(), QStringLiteral("Digite o código e tecle ENTER"));
      auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
      QTest::keyClicks(edit, "3");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    Action(w, "Localizar")->trigger();
    QCOMPARE(w.MainTable().asInteger(ycogrp::GRP_CODIGO), int64_t{3});
    QCOMPARE(QString::fromStdString(w.MainTable().tag()).toUpper(), QStringLiteral("UM"));
    QCOMPARE(Edit(w, "GRP_CODIGO")->text(), QStringLiteral("03"));
    QCOMPARE(messages.texts(), std::vector<std::string>{});
  }

  void hintsOfTheDisabledPanelAndRefreshOnLeavingAColumn() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadDepto w(nullptr, dir.path());
    ShowActive(w);
    auto* panel0 = w.findChild<QLabel*>("StatusPanel0");
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w.findChild<QToolButton*>("btnIncluir"), &enter);
    QCOMPARE(panel0->text(), QStringLiteral("Inclui um novo registro no cadastro"));
    // browsing: the detail panel is disabled and still shows its hints
    Edit(w, "DEP_DESCR")->setStatusTip(QStringLiteral("Descrição do departamento"));
    QVERIFY(!Edit(w, "DEP_DESCR")->isEnabled());
    QApplication::sendEvent(Edit(w, "DEP_DESCR"), &enter);
    QCOMPARE(panel0->text(), QStringLiteral("Descrição do departamento"));
    QApplication::sendEvent(Edit(w, "TRB_CODIGO"), &enter);
    QCOMPARE(panel0->text(), QString());
    // editing: hints are off
    Action(w, "Incluir")->trigger();
    QApplication::sendEvent(Edit(w, "DEP_DESCR"), &enter);
    QCOMPARE(panel0->text(), QString());
    Action(w, "Cancelar")->trigger();

    // a department another station adds shows once a column is left
    {
      auto dep = db::Database(dir.path()).open(ycodep::kTable);
      dep->append();
      dep->setNumber(ycodep::DEP_CODIGO, 40);
      dep->setString(ycodep::DEP_DESCR, "OUTRA ESTACAO");
      dep->post();
    }
    auto* grid = w.findChild<QTableView*>("Grid");
    const int rows = grid->model()->rowCount();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QCOMPARE(grid->model()->rowCount(), rows + 1);
    QCOMPARE(Panel1(w), QStringLiteral("Total [ %1 ]").arg(rows + 1));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::FrameTest)
#include "RecordEditor_test.moc"
