// The operator and seller windows offscreen: captions by order, the
// defaults of a new operator and its thirteen "N", the password's four
// digits, the permissions in their tab order, the validation order and
// messages with their focus, the limits of 25 and 200, and the seller's
// code rules with Enter saving in the name.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

#include "common/testing/scripted_messages.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoven.h"
#include "db/temp_data_dir.h"
#include "registers/staff.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFCadOper.h"
#include "registers/ui/TFCadVend.h"
#include "registers/ui/TFLocaliza.h"
#include "common/ui/ModalHelper.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;
using Texts = std::vector<std::string>;

namespace {

QWidget* Focused() { return QApplication::focusWidget(); }
TDBComboQuelbrix* Combo(QWidget& w, const db::FieldDef& field) {
  return w.findChild<TDBComboQuelbrix*>(QString::fromLatin1(field.name));
}

// The operator's profile and twelve permissions as stored, and its password.
std::optional<std::pair<std::string, double>> Operator(const db::Database& db, double code) {
  auto ope = db.open(ycoope::kTable, {.tag = "Um", .exclusive = false});
  if (!ope->findKey(code)) return std::nullopt;
  std::string flags = ope->getString(ycoope::OPE_PERFIL);
  for (const db::FieldDef& f : registers::kOperatorPermissions) flags += ope->getString(f);
  return std::pair{flags, ope->asNumber(ycoope::OPE_SENHA)};
}

std::vector<std::string> SellerNames(const db::Database& db) {
  std::vector<std::string> names;
  auto ven = db.open(ycoven::kTable, {.tag = "Um", .exclusive = false});
  for (ven->first(); !ven->eof(); ven->next()) names.push_back(ven->getString(ycoven::VEN_NOME));
  return names;
}

}  // namespace

class PeopleWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void operatorCaptionsAndTheTotal() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadOper w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Operadores   -   Ordenado por Código"));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(), QStringLiteral("Total [ 4 ]"));
    auto* grid = w.findChild<QTableView*>("Grid");
    QCOMPARE(grid->model()->columnCount(), 2);
    ClickCell(grid, 0, 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Operadores   -   Ordenado por Nome"));
    QCOMPARE(CellText(grid, 0, 1), QStringLiteral("CLÁUDIA"));
    // the demo's fourth operator has the password 7
    ClickCell(grid, 1, 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Operadores   -   Ordenado por Código"));
    ClickCell(grid, 3, 0);
    QCOMPARE(Edit(w, "OPE_SENHA")->text(), QStringLiteral("0007"));
    QCOMPARE(Combo(w, ycoope::OPE_PERFIL)->currentText(), QStringLiteral("OPERADOR"));
    QCOMPARE(Combo(w, ycoope::OPE_CITEM)->currentText(), QStringLiteral("SIM"));
    QCOMPARE(Combo(w, ycoope::OPE_DITEM)->currentText(), QStringLiteral("NÃO"));
    QCOMPARE(w.findChild<QGroupBox*>()->title(), QStringLiteral("  Operador  "));
  }

  void aNewOperatorTypedWithTheKeyboardIsSavedWithThirteenN() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadOper w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    QCOMPARE(Focused(), Edit(w, "OPE_CODIGO"));
    QCOMPARE(Combo(w, ycoope::OPE_PERFIL)->currentText(), QStringLiteral("OPERADOR"));
    QTest::keyClicks(Focused(), "-a12345");  // digits only, four at most
    QCOMPARE(Edit(w, "OPE_CODIGO")->text(), QStringLiteral("1234"));
    Edit(w, "OPE_CODIGO")->setText("9");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTest::keyClicks(Focused(), "LUCAS");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), Combo(w, ycoope::OPE_PERFIL));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTest::keyClicks(Focused(), "7");
    QTest::keyClick(Focused(), Qt::Key_Return);
    // the permissions column by column, Enter in the last one saves
    for (const db::FieldDef& f : registers::kOperatorPermissions) {
      QCOMPARE(Focused(), Combo(w, f));
      QCOMPARE(Combo(w, f)->currentText(), QStringLiteral("NÃO"));
      QTest::keyClick(Focused(), Qt::Key_Return);
    }
    QVERIFY(messages.texts().empty());
    QVERIFY(!Action(w, "Gravar")->isEnabled());
    QCOMPARE(Operator(dir.db(), 9), (std::pair{std::string(13, 'N'), 7.0}));
    QCOMPARE(Edit(w, "OPE_SENHA")->text(), QStringLiteral("0007"));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(), QStringLiteral("Total [ 5 ]"));

    // a changed permission and profile are stored as chosen
    Action(w, "Alterar")->trigger();
    QVERIFY(!Edit(w, "OPE_CODIGO")->isEnabled());
    QCOMPARE(Focused(), Edit(w, "OPE_NOME"));
    Combo(w, ycoope::OPE_PERFIL)->Choose("S");
    Combo(w, ycoope::OPE_REDZ)->Choose("S");
    Action(w, "Gravar")->trigger();
    QCOMPARE(Operator(dir.db(), 9)->first, std::string("SNNNNNSNNNNNN"));
  }

  void operatorValidationOrderAndCodes() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadOper w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    Edit(w, "OPE_CODIGO")->setText("5");
    Action(w, "Gravar")->trigger();  // blank name and password: the name first
    QCOMPARE(messages.texts(), Texts{"O campo [ Nome ] deve ser preenchido !"});
    QCOMPARE(Focused(), Edit(w, "OPE_NOME"));
    Edit(w, "OPE_NOME")->setText("ANA");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O campo [ Senha ] deve ser preenchido !"));
    QCOMPARE(Focused(), Edit(w, "OPE_SENHA"));
    Edit(w, "OPE_SENHA")->setText("12");
    Edit(w, "OPE_CODIGO")->setText("1");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("Código repetido !"));
    QCOMPARE(Focused(), Edit(w, "OPE_CODIGO"));
    Edit(w, "OPE_CODIGO")->setText("0");  // free: taken
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{3});
    QVERIFY(Operator(dir.db(), 0));
    // an empty code is code 0, now repeated
    Action(w, "Incluir")->trigger();
    Edit(w, "OPE_NOME")->setText("BIA");
    Edit(w, "OPE_SENHA")->setText("1");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("Código repetido !"));
  }

  void theTwentySixthOperatorAndTheTwoHundredAndFirstSellerAreRefused() {
    db::testing::TempDataDir dir({.demo = true});
    Keep(dir.db(), ycoope::kTable, 25, [](db::Table& t, int i) {
      t.setNumber(ycoope::OPE_CODIGO, i);
      t.setString(ycoope::OPE_NOME, "OPERADOR " + std::to_string(i));
      t.setNumber(ycoope::OPE_SENHA, i);
    });
    Keep(dir.db(), ycoven::kTable, 200, [](db::Table& t, int i) {
      t.setNumber(ycoven::VEN_CODIGO, i);
      t.setString(ycoven::VEN_NOME, "VENDEDOR " + std::to_string(i));
    });
    ScriptedMessages messages;
    TFCadOper operators(nullptr, dir.path());
    Action(operators, "Incluir")->trigger();
    QVERIFY(!Action(operators, "Gravar")->isEnabled());
    TFCadVend sellers(nullptr, dir.path());
    Action(sellers, "Incluir")->trigger();
    QVERIFY(!Action(sellers, "Gravar")->isEnabled());
    QCOMPARE(messages.texts(),
             (Texts{"Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo de 25 registros.",
                    "Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo de 200 registros."}));
  }

  void sellerCodesAboveZeroNamesAndEnter() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadVend w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Vendedores   -   Ordenado por Código"));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(), QStringLiteral("Total [ 4 ]"));
    Action(w, "Incluir")->trigger();
    for (const char* name : {"Sair", "Incluir", "Alterar", "Excluir", "Localizar"}) QVERIFY(!Action(w, name)->isEnabled());
    QCOMPARE(Focused(), Edit(w, "VEN_CODIGO"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), Edit(w, "VEN_NOME"));
    QTest::keyClicks(Focused(), "MARIA");
    QTest::keyClick(Focused(), Qt::Key_Return);  // an empty code
    QCOMPARE(messages.texts(), Texts{"Código inválido !"});
    QCOMPARE(Focused(), Edit(w, "VEN_CODIGO"));
    QTest::keyClicks(Focused(), "abc0");  // letters cannot be typed
    QCOMPARE(Edit(w, "VEN_CODIGO")->text(), QStringLiteral("0"));
    QTest::keyClick(Edit(w, "VEN_NOME"), Qt::Key_Return);
    QCOMPARE(messages.texts().back(), std::string("Código inválido !"));
    Edit(w, "VEN_CODIGO")->setText("4");
    QTest::keyClick(Edit(w, "VEN_NOME"), Qt::Key_Return);
    QCOMPARE(messages.texts().back(), std::string("Código repetido !"));
    Edit(w, "VEN_CODIGO")->setText("12");
    Edit(w, "VEN_NOME")->setText(" ");
    QTest::keyClick(Edit(w, "VEN_NOME"), Qt::Key_Return);
    QCOMPARE(messages.texts().back(), std::string("O campo [ Nome ] deve ser preenchido !"));
    QCOMPARE(Focused(), Edit(w, "VEN_NOME"));
    Edit(w, "VEN_NOME")->setText("MARIA");
    QTest::keyClick(Edit(w, "VEN_NOME"), Qt::Key_Return);
    QCOMPARE(messages.texts().size(), size_t{4});
    QCOMPARE(SellerNames(dir.db()).back(), std::string("MARIA"));

    Action(w, "Alterar")->trigger();
    QVERIFY(!Edit(w, "VEN_CODIGO")->isEnabled());
    QCOMPARE(Focused(), Edit(w, "VEN_NOME"));
    Action(w, "Cancelar")->trigger();
    ClickCell(w.findChild<QTableView*>("Grid"), 0, 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Vendedores   -   Ordenado por Nome"));

    // Localizar opens the find dialog, like every editor
    bool found = false;
    WhenModal([&](QWidget* dialog) {
      found = qobject_cast<TFLocaliza*>(dialog) != nullptr;
      dialog->close();
    });
    Action(w, "Localizar")->trigger();
    QVERIFY(found);
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::PeopleWindowsTest)
#include "TFCadOper_test.moc"
