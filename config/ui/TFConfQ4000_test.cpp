// The terminal options window offscreen: its pages, groups and lists, the
// commands of each state and of an empty payment-type table, "Alterar" on
// the current page's table with the page locked, the VALOR/PORCENTAGEM rule
// of each discount group, the grid's order toggle and key shading, Enter in
// a page's last field saving, the centring choice written into both fields,
// and a payment type without a text in the "Tipo:" list kept on saving.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "config/ui/TFConfQ4000.h"
#include "config/ui/config_window_testing.h"
#include "db/tables/ycoq40.h"
#include "db/tables/ycoycf.h"
#include "db/temp_data_dir.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFLocaliza.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;
using namespace config_window_test;

namespace {

std::string Ycf(const db::Database& db, const db::FieldDef& field) {
  auto ycf = db.open(ycoycf::kTable);
  ycf->first();
  return ycf->getString(field);
}
QStringList Enabled(QWidget& w) {
  QStringList on;
  for (const char* name : {"Alterar", "Cancelar", "Gravar", "Localizar", "Ler", "Enviar", "Imprimir", "Sair"}) {
    if (Action(w, name)->isEnabled()) on << QString::fromLatin1(name);
  }
  return on;
}

}  // namespace

class TFConfQ4000Test : public QObject {
  Q_OBJECT

 private slots:
  void pagesGroupsAndLists() {
    db::testing::TempDataDir dir({.demo = true});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Configuração de Parâmetros não fiscais   -   Finalizadora Ordenada por Código"));
    QTabWidget* pages = Pages(w);
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
    QCOMPARE(captions, (QStringList{QStringLiteral("Finalizadoras"), QStringLiteral("Parâmetros Diversos"),
                                    QStringLiteral("Periféricos"), QStringLiteral("Desconto && Acréscimo"),
                                    QStringLiteral("Mensagem")}));
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(Group(w, "GroupFinalizadora")->title(), QStringLiteral("  Configuração da Finalizadora  "));
    QCOMPARE(Group(w, "GroupLimAut")->title(), QStringLiteral("  Limite de Autenticações   "));
    QCOMPARE(Group(w, "GroupDigito")->title(), QStringLiteral("  Produto com dígito de contrôle?  "));
    QCOMPARE(Group(w, "GroupDescItem")->title(), QStringLiteral("  Ítem  "));
    QCOMPARE(Group(w, "GroupAcrescimo")->title(), QStringLiteral("  Acréscimo  "));
    QCOMPARE(Group(w, "GroupMensagem")->title(), QStringLiteral("  Mensagem de Venda  "));
    for (const char* greyed : {"GroupDescIss", "GroupDeptoAberto", "GroupLogsZ"}) QVERIFY(!Group(w, greyed)->isEnabled());

    QCOMPARE(Combo(w, "Q40_TIPO")->Items(), (QStringList{QStringLiteral("Padrão"), QStringLiteral("Cheque"),
                                                         QStringLiteral("TEF"), QStringLiteral("Convênio")}));
    QCOMPARE(Combo(w, "Q40_TROCO")->Values(), (QStringList{QStringLiteral("S"), QStringLiteral("N")}));
    QCOMPARE(Combo(w, "YCF_TEF")->Items(), (QStringList{QStringLiteral("NÂO"), QStringLiteral("SIM")}));
    QCOMPARE(Combo(w, "YCF_BALANC")->Items(),
             (QStringList{QStringLiteral("AUSENTE"), QStringLiteral("PRESENTE"), QString()}));
    QCOMPARE(Combo(w, "YCF_GAVPRE")->Values(),
             (QStringList{QStringLiteral("N"), QStringLiteral("2"), QStringLiteral("3")}));
    QCOMPARE(Combo(w, "Q40_LIMAUT")->Items().size(), 6);
    QCOMPARE(Combo(w, "YCF_DITIPO")->Items(), (QStringList{QStringLiteral("PORCENTAGEM"), QStringLiteral("VALOR")}));
    QCOMPARE(Edit(w, "YCF_DIPER")->text(), QStringLiteral("10.00"));
    QCOMPARE(Combo(w, "CEN1")->currentText(), QStringLiteral("SIM"));

    QCOMPARE(Enabled(w), (QStringList{"Alterar", "Localizar", "Ler", "Enviar", "Sair"}));
    QVERIFY(!Group(w, "GroupFinalizadora")->isEnabled());
    QVERIFY(w.findChild<QTableView*>("Grid")->isEnabled());
  }

  void withoutPaymentTypesOnlyReadingAndLeaving() {
    db::testing::TempDataDir dir({.demo = true});
    Keep(dir.db(), ycoq40::kTable, 0, [](db::Table&, int) {});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(Enabled(w), (QStringList{"Ler", "Sair"}));
    // nothing to change on the other pages either while no payment type exists
    ClickTab(w, 2);
    QCOMPARE(Enabled(w), (QStringList{"Ler", "Sair"}));
  }

  void alterarEditsThePageTableAndKeepsThePage() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    const std::pair<int, const char*> firsts[] = {
        {0, "Q40_TIPO"}, {1, "Q40_ZERO"}, {2, "YCF_BALANC"}, {3, "YCF_DSTIPO"}, {4, "YCF_MSG1"}};
    for (const auto& [page, first] : firsts) {
      ClickTab(w, page);
      QCOMPARE(Pages(w)->currentIndex(), page);
      Action(w, "Alterar")->trigger();
      QCOMPARE(Enabled(w), (QStringList{"Cancelar", "Gravar"}));
      QCOMPARE(Focused()->objectName(), QString::fromLatin1(first));
      QVERIFY(!w.findChild<QTableView*>("Grid")->isEnabled());
      ClickTab(w, (page + 1) % 5);
      QCOMPARE(Pages(w)->currentIndex(), page);
      QTest::keyClick(Pages(w), Qt::Key_Tab, Qt::ControlModifier);
      QCOMPARE(Pages(w)->currentIndex(), page);
      Pages(w)->setCurrentIndex((page + 2) % 5);
      QCOMPARE(Pages(w)->currentIndex(), page);
      Action(w, "Cancelar")->trigger();
      QCOMPARE(Enabled(w), (QStringList{"Alterar", "Localizar", "Ler", "Enviar", "Sair"}));
    }
    QVERIFY(messages.texts().empty());
  }

  void valorTurnsOffTheRateOfItsGroupOnly() {
    db::testing::TempDataDir dir({.demo = true});
    {
      auto ycf = dir.db().open(ycoycf::kTable);
      ycf->first();
      ycf->edit();
      ycf->setString(ycoycf::YCF_ASTIPO, "V");  // applied when the window is shown
      ycf->post();
    }
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, 3);
    Action(w, "Alterar")->trigger();
    auto enabled = [&](const char* name) { return w.findChild<QWidget*>(QString::fromLatin1(name))->isEnabled(); };
    QVERIFY(!enabled("YCF_ASPER") && !enabled("YCF_ASALT"));
    QVERIFY(enabled("YCF_DIPER") && enabled("YCF_DIALT"));
    Combo(w, "YCF_DITIPO")->Choose(QStringLiteral("V"));
    QVERIFY(!enabled("YCF_DIPER") && !enabled("YCF_DIALT"));
    QVERIFY(enabled("YCF_DSPER") && enabled("YCF_DSALT") && enabled("YCF_AIPER") && enabled("YCF_AIALT"));
    QVERIFY(enabled("YCF_DITIPO"));
    Combo(w, "YCF_DITIPO")->Choose(QStringLiteral("P"));
    QVERIFY(enabled("YCF_DIPER") && enabled("YCF_DIALT"));
    Combo(w, "YCF_DITIPO")->Choose(QStringLiteral("V"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Ycf(dir.db(), ycoycf::YCF_DITIPO), std::string("V"));
    QCOMPARE(Ycf(dir.db(), ycoycf::YCF_DIPER), std::string("10.00"));  // kept as it was
  }

  void theGridTogglesItsOrder() {
    db::testing::TempDataDir dir({.demo = true});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    auto* grid = w.findChild<QTableView*>("Grid");
    const QColor key(225, 247, 255);
    QCOMPARE(CellText(grid, 0, 0), QStringLiteral("01"));
    QCOMPARE(grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), key);
    QVERIFY(!grid->model()->index(0, 1).data(Qt::BackgroundRole).isValid());
    ClickCell(grid, 2, 1);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Configuração de Parâmetros não fiscais   -   Finalizadora Ordenada por Descrição"));
    QCOMPARE(grid->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), key);
    QVERIFY(!grid->model()->index(0, 0).data(Qt::BackgroundRole).isValid());
    QStringList names;
    for (int r = 0; r < grid->model()->rowCount(); ++r) names << CellText(grid, r, 1);
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(names, sorted);
    // the row clicked is the one shown below the grid
    ClickCell(grid, 1, 1);
    QCOMPARE(Edit(w, "Q40_DESCR")->text(), CellText(grid, 1, 1));
    ClickCell(grid, 1, 0);
    QCOMPARE(w.windowTitle(),
             QStringLiteral("Configuração de Parâmetros não fiscais   -   Finalizadora Ordenada por Código"));
  }

  void enterInTheLastFieldSaves() {
    db::testing::TempDataDir dir({.demo = true});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    QTest::keyClick(Focused(), Qt::Key_Return);  // Tipo
    QCOMPARE(Focused()->objectName(), QStringLiteral("Q40_TROCO"));
    QLineEdit* limit = Edit(w, "Q40_LIMITE");
    limit->setFocus();
    limit->selectAll();
    QTest::keyClicks(limit, QStringLiteral("250"));
    QTest::keyClick(limit, Qt::Key_Return);
    QCOMPARE(Enabled(w), (QStringList{"Alterar", "Localizar", "Ler", "Enviar", "Sair"}));
    QCOMPARE(limit->text(), QStringLiteral("250.00"));

    ClickTab(w, 4);
    Action(w, "Alterar")->trigger();
    Combo(w, "CEN4")->setFocus();
    Combo(w, "CEN4")->Choose(QStringLiteral("S"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Enabled(w), (QStringList{"Alterar", "Localizar", "Ler", "Enviar", "Sair"}));
    QCOMPARE(Ycf(dir.db(), ycoycf::YCF_CAMCE3) + Ycf(dir.db(), ycoycf::YCF_CEN4), std::string("SS"));
  }

  void aTypeWithoutTextIsKept() {
    db::testing::TempDataDir dir({.demo = true});
    {
      auto q40 = dir.db().open(ycoq40::kTable, {.tag = "Um"});
      q40->first();
      q40->edit();
      q40->setString(ycoq40::Q40_TIPO, "5");
      q40->post();
    }
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(Combo(w, "Q40_TIPO")->currentText(), QString());
    Action(w, "Alterar")->trigger();
    QLineEdit* name = Edit(w, "Q40_DESCR");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("TEF DOIS"));
    Action(w, "Gravar")->trigger();
    auto q40 = dir.db().open(ycoq40::kTable, {.tag = "Um"});
    q40->first();
    QCOMPARE(q40->getString(ycoq40::Q40_DESCR), std::string("TEF DOIS"));
    QCOMPARE(q40->getString(ycoq40::Q40_TIPO), std::string("5"));
  }

  void localizarSearchesThePaymentTypes() {
    db::testing::TempDataDir dir({.demo = true});
    TFConfQ4000 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, 1);
    bool found = false;
    WhenModal([&](QWidget* d) {
      if (auto* find = qobject_cast<TFLocaliza*>(d)) {
        found = true;
        QCOMPARE(find->y(), w.frameGeometry().y() + 15);
        auto* edit = find->findChild<QLineEdit*>();
        QTest::keyClicks(edit, QStringLiteral("3"));
      }
      d->close();
    });
    Action(w, "Localizar")->trigger();
    QVERIFY(found);
    QCOMPARE(Edit(w, "Q40_DESCR")->text().isEmpty(), false);
    auto* grid = w.findChild<QTableView*>("Grid");
    QCOMPARE(CellText(grid, grid->currentIndex().row(), 0), QStringLiteral("03"));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFConfQ4000Test)
#include "TFConfQ4000_test.moc"
