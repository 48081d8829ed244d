// The product window offscreen: the code rule on Enter, the short
// description, the validations, the change queue of an insertion, a change
// and a deletion, the flag combo that keeps an unknown stored value, values
// kept as read under their display formats, the boxes that take only what
// their fields hold, the department picker, the order by column and the
// find on codes with their check digit.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

#include "common/clock.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycoy60.h"
#include "db/temp_data_dir.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFCadGrpDepto.h"
#include "registers/ui/TFCadProd_DB.h"
#include "registers/ui/TFLocaliza.h"
#include "registers/ui/editor_test_support.h"
#include "db/tables/ycotrb.h"
#include <QComboBox>
#include <QGroupBox>
#include <filesystem>

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;

namespace {

// Stored values of the demo's first product, as another program left them.
void SetFirstProduct(const db::Database& db, const char* unit, double stock, const char* decimals, double price) {
  auto pro = db.open(ycopro::kTable, {.tag = "Um", .exclusive = false});
  pro->first();
  pro->edit();
  pro->setString(ycopro::PRO_PESAD, unit);
  pro->setNumber(ycopro::PRO_ESTQ, stock);
  pro->setString(ycopro::PRO_CASAD, decimals);
  pro->setNumber(ycopro::PRO_PCOVEN, price);
  pro->post();
}

struct Queued {
  double key;
  std::string descr, status;
  double stock;
};
std::vector<Queued> Queue(const db::Database& db) {
  std::vector<Queued> rows;
  auto y60 = db.open(ycoy60::kTable);
  for (y60->first(); !y60->eof(); y60->next()) {
    rows.push_back({y60->asNumber(ycoy60::Y60_PROPLU), y60->getString(ycoy60::Y60_DESCR),
                    y60->getString(ycoy60::Y60_STATUS), y60->asNumber(ycoy60::PRO_ESTQ)});
  }
  return rows;
}

// Types a new product into the open window and saves it with Enter in the
// stock box.
void TypeProduct(TFCadProd_DB& w, const char* code, const QString& description) {
  Action(w, "Incluir")->trigger();
  QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_PLU"));
  QTest::keyClicks(Edit(w, "PRO_PLU"), code);
  QTest::keyClick(Edit(w, "PRO_PLU"), Qt::Key_Return);
  QTest::keyClicks(Edit(w, "PRO_DESCR"), description);
  QTest::keyClick(Edit(w, "PRO_DESCR"), Qt::Key_Return);
  QTest::keyClick(Edit(w, "PRO_RESUM"), Qt::Key_Return);  // empty: filled from the description
  QTest::keyClicks(Edit(w, "PRO_TRIBUT"), "1");
  QTest::keyClicks(Edit(w, "PRO_DEPTO"), "5");
  Edit(w, "PRO_PCOVEN")->setText("3.5");
  QTest::keyClick(Edit(w, "PRO_ESTQ"), Qt::Key_Return);
}

}  // namespace

class ProductWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { kaslo::SetFixedNow(kaslo::DateTime{std::chrono::year{2024} / 3 / 7, 9, 0, 0}); }
  void cleanup() { kaslo::SetFixedNow(std::nullopt); }

  void insertChangeDeleteWithTheCheckDigit() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    const size_t before = w.MainTable().recordCount();
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Cadastro de Produtos   -   Ordenado por Código   -   Total de Registros: [ ")));

    const QString fifty = QStringLiteral("CAFE TORRADO E MOIDO EXTRA FORTE EMBALAGEM A VACUO");
    QCOMPARE(fifty.size(), 50);
    Action(w, "Incluir")->trigger();
    QTest::keyClicks(Edit(w, "PRO_PLU"), "12");
    QTest::keyClick(Edit(w, "PRO_PLU"), Qt::Key_Return);
    QCOMPARE(Edit(w, "PRO_PLU")->text(), QStringLiteral("123"));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_DESCR"));
    QTest::keyClicks(Edit(w, "PRO_DESCR"), fifty);
    QTest::keyClick(Edit(w, "PRO_DESCR"), Qt::Key_Return);
    QTest::keyClick(Edit(w, "PRO_RESUM"), Qt::Key_Return);
    QCOMPARE(Edit(w, "PRO_RESUM")->text(), fifty.left(20));
    QTest::keyClicks(Edit(w, "PRO_TRIBUT"), "7");
    QCOMPARE(w.findChild<QLabel*>("TRB_DESCR")->text(), QStringLiteral("TRIBUTAÇÃO NÃO CADASTRADA"));
    QTest::keyClicks(Edit(w, "PRO_DEPTO"), "5");
    QCOMPARE(Edit(w, "PRO_GRUPO")->text(), QStringLiteral("2"));
    QCOMPARE(w.findChild<QLabel*>("DEP_DESCR")->text(), QStringLiteral("PERECÍVEIS / AÇOUGUE"));
    QTest::keyClick(Edit(w, "PRO_ESTQ"), Qt::Key_Return);
    QCOMPARE(messages.texts(), (std::vector<std::string>{"Tributação não cadastrada !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_TRIBUT"));
    Edit(w, "PRO_TRIBUT")->setText("1");
    QTest::keyClick(Edit(w, "PRO_ESTQ"), Qt::Key_Return);
    QCOMPARE(messages.texts().size(), size_t{1});
    QVERIFY(Action(w, "Incluir")->isEnabled());
    QCOMPARE(w.MainTable().recordCount(), before + 1);

    auto& t = w.MainTable();
    QVERIFY(t.findKey(123.0));
    QCOMPARE(t.getString(ycopro::PRO_DTUALT), std::string("20240307"));
    auto* grid = w.findChild<QTableView*>("Grid");
    w.MainTable().findKey(123.0);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("12-3"));
    auto queue = Queue(dir.db());
    QCOMPARE(queue.size(), size_t{1});
    QCOMPARE(queue[0].key, 12.0);
    QCOMPARE(queue[0].descr, std::string("CAFE TORRADO E MOIDO E"));
    QCOMPARE(queue[0].status, std::string("2"));

    // a change with stock 2.5, then with stock 0
    Action(w, "Alterar")->trigger();
    QVERIFY(!Edit(w, "PRO_PLU")->isEnabled());
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_DESCR"));
    w.findChild<TDBComboQuelbrix*>("PRO_PESAD")->Choose("S");
    Edit(w, "PRO_ESTQ")->setText("2.5");
    QTest::keyClick(Edit(w, "PRO_ESTQ"), Qt::Key_Return);
    QCOMPARE(Queue(dir.db())[0].status, std::string("3"));
    QCOMPARE(Queue(dir.db())[0].stock, 2.5);
    Action(w, "Alterar")->trigger();
    Edit(w, "PRO_DESCR")->clear();  // an edit checks the code only
    Edit(w, "PRO_ESTQ")->setText("0");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});
    QCOMPARE(Queue(dir.db())[0].status, std::string("4"));
    QCOMPARE(t.getString(ycopro::PRO_FLAGPC), std::string());

    messages.QueueConfirm(true);
    QVERIFY(t.findKey(123.0));
    Action(w, "Excluir")->trigger();
    QVERIFY(!t.findKey(123.0));
    QCOMPARE(Queue(dir.db()).size(), size_t{1});
    QCOMPARE(Queue(dir.db())[0].status, std::string("1"));
  }

  void codesRefusedAndDuplicated() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    TypeProduct(w, "", QStringLiteral("SEM CODIGO"));
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Código ] deve ser preenchido !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_PLU"));
    Action(w, "Cancelar")->trigger();
    TypeProduct(w, "4", QStringLiteral("PRIMEIRO"));
    QCOMPARE(messages.texts().size(), size_t{1});
    TypeProduct(w, "4", QStringLiteral("SEGUNDO"));
    QCOMPARE(messages.texts().back(), std::string("Código Duplicado \"48\" !"));  // 4 with its check digit
    Action(w, "Cancelar")->trigger();
    QCOMPARE(w.windowTitle().contains(QStringLiteral("Ordenado por Código")), true);
  }

  void comboKeepsAnUnknownStoredValue() {
    db::testing::TempDataDir dir({.demo = true});
    {
      auto pro = dir.db().open(ycopro::kTable, {.tag = "Um", .exclusive = false});
      pro->first();
      pro->edit();
      pro->setString(ycopro::PRO_PESAD, "Z");
      pro->post();
    }
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    auto* combo = w.findChild<TDBComboQuelbrix*>("PRO_PESAD");
    QCOMPARE(combo->currentText(), QString());
    Action(w, "Alterar")->trigger();
    Action(w, "Gravar")->trigger();
    QCOMPARE(w.MainTable().getString(ycopro::PRO_PESAD), std::string("Z"));
  }

  void departmentPickerAndGridOrder() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    WhenModal([](QWidget* dialog) {
      auto* picker = qobject_cast<TFCadGrpDepto*>(dialog);
      QVERIFY(picker);
      picker->MainTable().findKey({2.0, 5.0});
      dialog->close();
    });
    w.findChild<QToolButton*>("btnPRO_DEPTO")->click();
    QCOMPARE(Edit(w, "PRO_DEPTO")->text(), QStringLiteral("5"));
    QCOMPARE(Edit(w, "PRO_GRUPO")->text(), QStringLiteral("2"));
    QCOMPARE(w.findChild<QLabel*>("DEP_DESCR")->text(), QStringLiteral("PERECÍVEIS / AÇOUGUE"));
    Action(w, "Cancelar")->trigger();

    auto* grid = w.findChild<QTableView*>("Grid");
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Cadastro de Produtos   -   Ordenado por Descrição   -   Total de Registros: [ ")));
    const QString first = grid->model()->index(0, 1).data().toString();
    const QString second = grid->model()->index(1, 1).data().toString();
    QVERIFY(first <= second);

    // Changing a product runs in code order, on the same product.
    grid->setCurrentIndex(grid->model()->index(3, 1));
    const QString chosen = grid->model()->index(3, 1).data().toString();
    Action(w, "Alterar")->trigger();
    QCOMPARE(w.MainTable().tag(), std::string("Um"));
    QCOMPARE(Edit(w, "PRO_DESCR")->text(), chosen);
    const QString code0 = grid->model()->index(0, 0).data().toString();
    const QString code1 = grid->model()->index(1, 0).data().toString();
    QVERIFY(code0 < code1);
    Action(w, "Cancelar")->trigger();
  }

  void refusedValuesAndEngineErrors() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto& t = w.MainTable();
    t.first();
    const double code = t.asNumber(ycopro::PRO_PLU);
    const double price = t.asNumber(ycopro::PRO_PCOVEN);
    w.findChild<QTableView*>("Grid")->setCurrentIndex(w.findChild<QTableView*>("Grid")->model()->index(0, 0));

    // a price that came with its currency sign is not saved as the old price
    // in silence, and the box is named in the user's words
    Action(w, "Alterar")->trigger();
    Edit(w, "PRO_PCOVEN")->setText("R$ 12");
    QTest::keyClick(Edit(w, "PRO_ESTQ"), Qt::Key_Return);
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Pço.Venda ] deve ser preenchido !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_PCOVEN"));
    QVERIFY(Action(w, "Gravar")->isEnabled());  // still editing
    Action(w, "Cancelar")->trigger();
    QVERIFY(t.findKey(code));
    QCOMPARE(t.asNumber(ycopro::PRO_PCOVEN), price);

    // the tax table gone: the picker cannot open, the window stays usable
    Action(w, "Incluir")->trigger();
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      if (QString::fromStdString(entry.path().filename().string()).toUpper() == "YCOTRB.DBF") {
        std::filesystem::remove(entry.path());
      }
    }
    w.findChild<QToolButton*>("btnPRO_TRIBUT")->click();
    QCOMPARE(messages.texts().back(), std::string("YCOTRB.DBF: table not found in the data directory"));
    QVERIFY(Action(w, "Cancelar")->isEnabled());
    Action(w, "Cancelar")->trigger();
    QVERIFY(Action(w, "Incluir")->isEnabled());
  }

  void flagCombosEditModeFormatsAndHiddenUnit() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto* casad = w.findChild<TDBComboQuelbrix*>("PRO_CASAD");
    auto* promo = w.findChild<TDBComboQuelbrix*>("PRO_PROMO");
    auto* unmed = w.findChild<TDBComboQuelbrix*>("PRO_UNMED");
    QVERIFY(unmed && !unmed->isVisibleTo(&w));
    QCOMPARE(unmed->Items(), (QStringList{"UN", "KG", "MT", "LT"}));
    QCOMPARE(unmed->Values(), (QStringList{"0", "1", "2", "3"}));
    auto* unmed_label = w.findChild<QLabel*>("lblPRO_UNMED");
    QCOMPARE(unmed_label->text(), QStringLiteral("Un.Medida:"));
    QVERIFY(!unmed_label->isVisibleTo(&w));

    // browsing: the detail panel is disabled, so no combo can be dropped
    QVERIFY(!casad->isEnabled());
    QVERIFY(!casad->isEnabledTo(&w) || !w.findChild<QWidget*>("Target")->isEnabled());
    // dropping a combo down puts the table into edit mode
    auto& t = w.MainTable();
    QCOMPARE(t.mode(), db::Mode::kBrowse);
    casad->showPopup();
    QCOMPARE(t.mode(), db::Mode::kEdit);
    casad->hidePopup();
    QVERIFY(Action(w, "Gravar")->isEnabled());
    QVERIFY(!Action(w, "Incluir")->isEnabled());
    Action(w, "Cancelar")->trigger();

    // leaving the promotion combo re-applies the price format of the decimals
    Action(w, "Alterar")->trigger();
    casad->setFocus();
    QTest::keyClick(casad, Qt::Key_Down);  // "3"
    QCOMPARE(casad->currentText(), QStringLiteral("3"));
    promo->setFocus();  // leaving the decimals combo writes it
    QCOMPARE(t.getString(ycopro::PRO_CASAD), std::string("3"));
    Edit(w, "PRO_PCOVEN")->setText("2.5");
    promo->setFocus();
    Edit(w, "PRO_DESCR")->setFocus();
    QCOMPARE(Edit(w, "PRO_PCOVEN")->text(), QStringLiteral("2.500"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), std::vector<std::string>{});
    QCOMPARE(t.getString(ycopro::PRO_CASAD), std::string("3"));
    QCOMPARE(t.asNumber(ycopro::PRO_PCOVEN), 2.5);

    // a new product stores PRO_UNMED 0, shown "UN" by the hidden combo
    TypeProduct(w, "77", QStringLiteral("UNIDADE OCULTA"));
    QCOMPARE(messages.texts(), std::vector<std::string>{});
    QCOMPARE(t.asNumber(ycopro::PRO_UNMED), 0.0);
    QCOMPARE(unmed->currentText(), QStringLiteral("UN"));
  }

  void valuesNotTouchedAreSavedAsRead() {
    db::testing::TempDataDir dir({.demo = true});
    SetFirstProduct(dir.db(), "N", 2.5, "2", 1.555);
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto& t = w.MainTable();
    const double code = t.asNumber(ycopro::PRO_PLU);
    QCOMPARE(Edit(w, "PRO_ESTQ")->text(), QStringLiteral("3"));
    QCOMPARE(Edit(w, "PRO_PCOVEN")->text(), QStringLiteral("1.56"));

    // only the description changes; the formats are applied again on
    // leaving the decimals and promotion combos and in the validation
    Action(w, "Alterar")->trigger();
    Edit(w, "PRO_DESCR")->setText("ARROZ NOVO");
    w.findChild<TDBComboQuelbrix*>("PRO_CASAD")->setFocus();
    w.findChild<TDBComboQuelbrix*>("PRO_PROMO")->setFocus();
    Edit(w, "PRO_DESCR")->setFocus();
    QCOMPARE(Edit(w, "PRO_PCOVEN")->text(), QStringLiteral("1.56"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), std::vector<std::string>{});
    QVERIFY(t.findKey(code));
    QCOMPARE(t.getString(ycopro::PRO_DESCR), std::string("ARROZ NOVO"));
    QCOMPARE(t.asNumber(ycopro::PRO_ESTQ), 2.5);
    QCOMPARE(t.asNumber(ycopro::PRO_PCOVEN), 1.555);
    QCOMPARE(Queue(dir.db()).back().stock, 2.5);  // as the terminals will receive it
    QCOMPARE(Queue(dir.db()).back().status, std::string("3"));

    // typed values are stored to the field's own decimals, not the display's
    Action(w, "Alterar")->trigger();
    Edit(w, "PRO_PCOVEN")->clear();
    QTest::keyClicks(Edit(w, "PRO_PCOVEN"), "2,4445");
    Edit(w, "PRO_ESTQ")->clear();
    QTest::keyClicks(Edit(w, "PRO_ESTQ"), "-1.25");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), std::vector<std::string>{});
    QVERIFY(t.findKey(code));
    QCOMPARE(t.asNumber(ycopro::PRO_PCOVEN), 2.445);
    QCOMPARE(t.asNumber(ycopro::PRO_ESTQ), -1.25);
    QCOMPARE(Edit(w, "PRO_PCOVEN")->text(), QStringLiteral("2.45"));
    QCOMPARE(Edit(w, "PRO_ESTQ")->text(), QStringLiteral("-1"));

    // a whole part the field cannot hold is refused with the box's label
    Action(w, "Alterar")->trigger();
    Edit(w, "PRO_PCOVEN")->clear();
    QTest::keyClicks(Edit(w, "PRO_PCOVEN"), "123456789");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Pço.Venda ] está fora do limite !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_PCOVEN"));
    QVERIFY(Action(w, "Gravar")->isEnabled());
    Action(w, "Cancelar")->trigger();
    QVERIFY(t.findKey(code));
    QCOMPARE(t.asNumber(ycopro::PRO_PCOVEN), 2.445);
  }

  void codeAndNumericBoxesTakeWhatTheFieldHolds() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    QTest::keyClicks(Edit(w, "PRO_PLU"), "ABC1-2");
    QCOMPARE(Edit(w, "PRO_PLU")->text(), QStringLiteral("12"));
    QTest::keyClicks(Edit(w, "PRO_TRIBUT"), "1.a");
    QCOMPARE(Edit(w, "PRO_TRIBUT")->text(), QStringLiteral("1"));
    Edit(w, "PRO_PCOVEN")->clear();
    QTest::keyClicks(Edit(w, "PRO_PCOVEN"), "-3x,5,1");
    QCOMPARE(Edit(w, "PRO_PCOVEN")->text(), QStringLiteral("3,51"));
    // letters that reached the box by other means than the keyboard
    Edit(w, "PRO_PLU")->setText("ABC");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (std::vector<std::string>{"O campo [ Código ] deve ser preenchido !"}));
    QCOMPARE(QApplication::focusWidget(), Edit(w, "PRO_PLU"));
    Action(w, "Cancelar")->trigger();
  }

  void orderByColumnAfterGravarAndCancelar() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto* grid = w.findChild<QTableView*>("Grid");
    auto by_description = [&] {
      QVERIFY(w.windowTitle().startsWith(QStringLiteral("Cadastro de Produtos   -   Ordenado por Descrição")));
      for (int row = 1; row < grid->model()->rowCount(); ++row) {
        QVERIFY(grid->model()->index(row - 1, 1).data().toString() <= grid->model()->index(row, 1).data().toString());
      }
    };
    auto highlighted_is_shown = [&] {
      const int row = Highlighted(grid);
      QVERIFY(row >= 0);
      QCOMPARE(grid->model()->index(row, 1).data().toString(), Edit(w, "PRO_DESCR")->text());
    };
    ClickCell(grid, 5, 1);
    by_description();
    highlighted_is_shown();

    for (const char* command : {"Cancelar", "Gravar"}) {
      Action(w, "Alterar")->trigger();
      Action(w, command)->trigger();
      QVERIFY(w.windowTitle().startsWith(QStringLiteral("Cadastro de Produtos   -   Ordenado por Código")));
      highlighted_is_shown();
      ClickCell(grid, 2, 1);  // the description column sorts again
      by_description();
      highlighted_is_shown();
    }
    ClickCell(grid, 2, 0);
    QVERIFY(w.windowTitle().startsWith(QStringLiteral("Cadastro de Produtos   -   Ordenado por Código")));
    highlighted_is_shown();
    QCOMPARE(messages.texts(), std::vector<std::string>{});
  }

  void pickerClosedOnAnEmptyTableEmptiesGroupAndDepartment() {
    db::testing::TempDataDir dir({.demo = true});
    {
      auto grp = dir.db().open(ycogrp::kTable);
      for (grp->first(); !grp->eof();) grp->remove();
    }
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    QVERIFY(!Edit(w, "PRO_DEPTO")->text().isEmpty());
    QVERIFY(!Edit(w, "PRO_GRUPO")->text().isEmpty());
    WhenModal([](QWidget* dialog) { dialog->close(); });
    w.findChild<QToolButton*>("btnPRO_DEPTO")->click();
    QCOMPARE(Edit(w, "PRO_DEPTO")->text(), QString());
    QCOMPARE(Edit(w, "PRO_GRUPO")->text(), QString());
    QCOMPARE(w.findChild<QLabel*>("DEP_DESCR")->text(), QString());
    Action(w, "Cancelar")->trigger();
  }

  void leavingAGridColumnSeesOtherStations() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto* grid = w.findChild<QTableView*>("Grid");
    const int rows = grid->model()->rowCount();
    {
      // another station adds a tax code and a product that uses it
      db::Database other(dir.path());
      auto trb = other.open(ycotrb::kTable);
      trb->append();
      trb->setNumber(ycotrb::TRB_CODIGO, 9);
      trb->setString(ycotrb::TRB_DESCR, "ISENTO NOVO");
      trb->post();
      auto pro = other.open(ycopro::kTable);
      pro->append();
      pro->setNumber(ycopro::PRO_PLU, 1);
      pro->setString(ycopro::PRO_DESCR, "DE OUTRA ESTACAO");
      pro->setNumber(ycopro::PRO_TRIBUT, 9);
      pro->post();
    }
    grid->setCurrentIndex(grid->model()->index(0, 0));
    grid->setCurrentIndex(grid->model()->index(0, 1));
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QCOMPARE(grid->model()->rowCount(), rows + 1);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QStringLiteral("DE OUTRA ESTACAO"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral("[ %1 ]").arg(rows + 1)));
    grid->setCurrentIndex(grid->model()->index(0, 0));  // the new product
    QCOMPARE(w.findChild<QLabel*>("TRB_DESCR")->text(), QStringLiteral("ISENTO NOVO"));
  }

  void findOnProductCodes() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadProd_DB w(nullptr, dir.path());
    ShowActive(w);
    auto& t = w.MainTable();
    t.last();
    const std::string last = t.getString(ycopro::PRO_PLU);
    // as the grid shows it: the digits before the hyphen of the check digit
    const QString typed = QString::fromStdString(last.substr(0, last.size() - 1));
    t.first();
    bool closed_on_missing = true;
    WhenModal([&](QWidget* dialog) {
      QCOMPARE(dialog->findChild<QGroupBox*>("GB")->title(), QStringLiteral("Digite o código e tecle ENTER"));
      auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
      QTest::keyClicks(edit, "0");  // a code no product has: the nearest is shown
      QTest::keyClick(edit, Qt::Key_Return);
      closed_on_missing = !dialog->isVisible();
      edit->clear();
      QTest::keyClicks(edit, typed);
      QTest::keyClick(edit, Qt::Key_Return);
      if (dialog->isVisible()) dialog->close();
    });
    Action(w, "Localizar")->trigger();
    QVERIFY(!closed_on_missing);
    QCOMPARE(messages.texts(), (std::vector<std::string>{"Produto nao encontrado!"}));
    QCOMPARE(messages.messages().front().kind, kaslo::testing::MessageKind::kError);
    QCOMPARE(t.getString(ycopro::PRO_PLU), last);

    // ordered by description the dialog takes any text
    auto* grid = w.findChild<QTableView*>("Grid");
    grid->setCurrentIndex(grid->model()->index(0, 1));
    WhenModal([](QWidget* dialog) {
      QCOMPARE(dialog->findChild<QGroupBox*>("GB")->title(), QStringLiteral("Procurar registro por [ Descrição ]  "));
      auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
      QTest::keyClicks(edit, "ZZZ");
      QTest::keyClick(edit, Qt::Key_Return);
    });
    Action(w, "Localizar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});

    // the digits before the hyphen, or the code with its hyphen, find the
    // product and Enter takes it; the grid highlights it
    grid->setCurrentIndex(grid->model()->index(0, 0));
    for (const char* code : {"200000000037", "200000000037-4"}) {
      t.first();
      WhenModal([code](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>("cProcurar");
        QTest::keyClicks(edit, code);
        QCOMPARE(edit->text(), QString::fromLatin1(code));
        QTest::keyClick(edit, Qt::Key_Return);
        if (dialog->isVisible()) dialog->close();  // not found: the assertions below tell
      });
      Action(w, "Localizar")->trigger();
      QCOMPARE(messages.texts().size(), size_t{1});
      QCOMPARE(t.getString(ycopro::PRO_PLU), std::string("2000000000374"));
      QCOMPARE(Edit(w, "PRO_DESCR")->text(), QStringLiteral("DESINFETANTE A GRANEL (LITRO)"));
      QCOMPARE(grid->model()->index(Highlighted(grid), 0).data().toString(), QStringLiteral("200000000037-4"));
    }

    // a code of 13 digits is shown whole, with its hyphen
    ShowActive(w);
    TypeProduct(w, "200000000099", QStringLiteral("TREZE DIGITOS"));
    QCOMPARE(messages.texts().size(), size_t{1});
    QCOMPARE(Edit(w, "PRO_PLU")->text(), QStringLiteral("200000000099-2"));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::ProductWindowTest)
#include "TFCadProd_DB_test.moc"
