// The client window offscreen: the CPF/CNPJ in its mask and as digits while
// typed, the check digits only when the store asks, the duplicate test of
// a tax number, codes, names and addresses with their messages and focus,
// a new client's status, PRM_ULTCLI raised per insertion, the limit of 200
// and the give-up while another station holds the parameter table.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QtTest>

#include "common/testing/scripted_messages.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycoprm.h"
#include "db/temp_data_dir.h"
#include "registers/parameter_testing.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFCadCli.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;
using Texts = std::vector<std::string>;
using registers::testing::Parameter;
using registers::testing::SetParameter;

namespace {

const std::string kInsertFailed =
    "Não foi possível incluir um novo registro !\r\nTente novamente, ou cancele a operação.";

// Ycocli holds clients 1..count, client i with tax number taxes(i).
void KeepClients(const db::Database& db, int count, const std::function<double(int)>& taxes) {
  Keep(db, ycocli::kTable, count, [&](db::Table& cli, int i) {
    cli.setNumber(ycocli::CLI_CODIGO, i);
    cli.setNumber(ycocli::CLI_CNPJ, taxes(i));
    cli.setString(ycocli::CLI_NOME, "CLIENTE " + std::to_string(i));
    cli.setString(ycocli::CLI_ENDER, "RUA " + std::to_string(i));
    cli.setString(ycocli::CLI_STATUS, "1");
  });
}

struct Stored {
  std::string tax, status, name;
};
std::optional<Stored> Client(const db::Database& db, double code) {
  auto cli = db.open(ycocli::kTable, {.tag = "Um", .exclusive = false});
  if (!cli->findKey(code)) return std::nullopt;
  return Stored{cli->getString(ycocli::CLI_CNPJ), cli->getString(ycocli::CLI_STATUS), cli->getString(ycocli::CLI_NOME)};
}

QWidget* Focused() { return QApplication::focusWidget(); }

// Types a new client with the keyboard alone, Enter from box to box, and
// Enter in the complement saves.
void TypeClient(TFCadCli& w, const QString& code, const QString& tax, const QString& name, const QString& address) {
  Action(w, "Incluir")->trigger();
  QCOMPARE(Focused(), Edit(w, "CLI_CODIGO"));
  QTest::keyClicks(Focused(), code);
  QTest::keyClick(Focused(), Qt::Key_Return);
  QCOMPARE(Focused(), Edit(w, "CLI_CNPJ"));
  QTest::keyClicks(Focused(), tax);
  QTest::keyClick(Focused(), Qt::Key_Return);
  QCOMPARE(Focused()->objectName(), QStringLiteral("CLI_STATUS"));
  QTest::keyClick(Focused(), Qt::Key_Return);
  QTest::keyClicks(Focused(), name);
  QTest::keyClick(Focused(), Qt::Key_Return);
  QTest::keyClicks(Focused(), address);
  QTest::keyClick(Focused(), Qt::Key_Return);
  QCOMPARE(Focused(), Edit(w, "CLI_COMPLE"));
  QTest::keyClick(Focused(), Qt::Key_Return);
}

}  // namespace

class ClientWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void captionsMenuTotalAndTheTaxNumberShownInItsMask() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadCli w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Clientes   -   Ordenado por Código"));
    QStringList menu;
    for (QAction* a : w.findChild<QMenuBar*>("MainMenu1")->actions().first()->menu()->actions())
      menu << (a->isSeparator() ? "-" : a->objectName());
    QCOMPARE(menu, (QStringList{"Incluir", "Alterar", "Excluir", "-", "Cancelar", "Gravar", "-", "Localizar", "-", "Sair"}));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(), QStringLiteral("Total [ 6 ]"));
    auto* grid = w.findChild<QTableView*>("Grid");
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código"));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nome/Razão Social"));
    QCOMPARE(CellText(grid, 0, 0), QStringLiteral("1"));
    // the demo's first client has a CPF, the third a CNPJ
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("123.456.789-09"));
    QCOMPARE(w.findChild<TDBComboQuelbrix*>("CLI_STATUS")->currentText(), QStringLiteral("VERDE"));
    ClickCell(grid, 2, 0);
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("11.222.333/0001-81"));
    QCOMPARE(w.findChild<TDBComboQuelbrix*>("CLI_STATUS")->currentText(), QStringLiteral("AMARELO"));
    ClickCell(grid, 2, 1);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Clientes   -   Ordenado por Descrição"));
    QCOMPARE(CellText(grid, 0, 1), QStringLiteral("ANA PAULA FERREIRA"));
    ClickCell(grid, 0, 0);
    QCOMPARE(w.windowTitle(), QStringLiteral("Cadastro de Clientes   -   Ordenado por Código"));
  }

  void checkDigitsOnAcceptAValidCnpjAndRefuseAWrongDigitOrNone() {
    db::testing::TempDataDir dir({.demo = true});
    KeepClients(dir.db(), 2, [](int i) { return i == 1 ? 12345678909.0 : 0.0; });
    SetParameter(dir.db(), ycoprm::PRM_VERCPF, "S");
    ScriptedMessages messages;
    TFCadCli w(nullptr, dir.path());
    ShowActive(w);
    TypeClient(w, "7", "11222333000182", "MERCADO CENTRAL", "RUA DIREITA 10");
    QCOMPARE(messages.texts(), Texts{"CPF/CNPJ inválido !"});
    QCOMPARE(Focused(), Edit(w, "CLI_CNPJ"));
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("11222333000182"));  // digits while it has the focus
    Edit(w, "CLI_CNPJ")->selectAll();
    QTest::keyClicks(Edit(w, "CLI_CNPJ"), "11222333000181");
    QTest::keyClick(Edit(w, "CLI_CNPJ"), Qt::Key_Tab);
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("11.222.333/0001-81"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});
    QVERIFY(!Action(w, "Gravar")->isEnabled());
    QCOMPARE(Client(dir.db(), 7)->tax, std::string("11222333000181"));

    TypeClient(w, "8", "", "ANA", "RUA B");
    QCOMPARE(messages.texts().back(), std::string("CPF/CNPJ inválido !"));
    QTest::keyClicks(Edit(w, "CLI_CNPJ"), "123.456.789-09");  // the mask's characters cannot be typed
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("12345678909"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("CPF/CNPJ repetido !"));
    Action(w, "Cancelar")->trigger();
  }

  void withTheCheckOffOnlyAnotherClientsNumberIsRefused() {
    db::testing::TempDataDir dir({.demo = true});
    // clients 1 and 2 share a CPF, as another program may have left them
    KeepClients(dir.db(), 3, [](int i) { return i < 3 ? 12345678909.0 : 0.0; });
    ScriptedMessages messages;
    TFCadCli w(nullptr, dir.path());
    ShowActive(w);
    TypeClient(w, "9", "12345678909", "ANA", "RUA C");
    QCOMPARE(messages.texts(), Texts{"CPF/CNPJ repetido !"});
    QCOMPARE(Focused(), Edit(w, "CLI_CNPJ"));
    Edit(w, "CLI_CNPJ")->setText("1");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});
    QCOMPARE(Client(dir.db(), 9)->tax, std::string("1"));
    // a second client without a tax number
    TypeClient(w, "10", "", "JOAO", "RUA D");
    QCOMPARE(messages.texts().size(), size_t{1});
    QVERIFY(Client(dir.db(), 10));

    // editing client 2 without changing its number runs no duplicate test
    ClickCell(w.findChild<QTableView*>("Grid"), 1, 0);
    Action(w, "Alterar")->trigger();
    QVERIFY(!Edit(w, "CLI_CODIGO")->isEnabled());
    QCOMPARE(Focused(), Edit(w, "CLI_NOME"));
    Edit(w, "CLI_NOME")->setText("CLIENTE DOIS");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});
    QCOMPARE(Client(dir.db(), 2)->name, std::string("CLIENTE DOIS"));
    QCOMPARE(Client(dir.db(), 2)->tax, std::string("12345678909"));
  }

  void codesNamesAndAddressesWithTheirMessagesAndFocus() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFCadCli w(nullptr, dir.path());
    ShowActive(w);
    TypeClient(w, "0", "", "ANA", "RUA A");
    QCOMPARE(messages.texts(), Texts{"Código inválido !"});
    QCOMPARE(Focused(), Edit(w, "CLI_CODIGO"));
    QTest::keyClicks(Edit(w, "CLI_CODIGO"), "a-3");  // digits only
    QCOMPARE(Edit(w, "CLI_CODIGO")->text(), QStringLiteral("03"));
    Edit(w, "CLI_CODIGO")->setText("3");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("Código repetido !"));
    Edit(w, "CLI_CODIGO")->setText("30");
    Edit(w, "CLI_NOME")->setText("  ");
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O campo [ Nome ] deve ser preenchido!"));
    QCOMPARE(Focused(), Edit(w, "CLI_NOME"));
    Edit(w, "CLI_NOME")->setText("ANA");
    Edit(w, "CLI_ENDER")->clear();
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts().back(), std::string("O campo [ Endereço ] deve ser preenchido!"));
    QCOMPARE(Focused(), Edit(w, "CLI_ENDER"));
    QVERIFY(Action(w, "Gravar")->isEnabled());  // still inserting
  }

  void aNewClientIsGreenAndEachInsertionRaisesTheCounter() {
    db::testing::TempDataDir dir({.demo = true});
    SetParameter(dir.db(), ycoprm::PRM_ULTCLI, "6");
    ScriptedMessages messages;
    TFCadCli w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    QCOMPARE(w.findChild<TDBComboQuelbrix*>("CLI_STATUS")->currentText(), QStringLiteral("VERDE"));
    // no number yet: 0, shown as a CNPJ of zeros until the box is entered
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("00.000.000/0000-00"));
    QTest::keyClick(Edit(w, "CLI_CODIGO"), Qt::Key_Return);
    QCOMPARE(Focused(), Edit(w, "CLI_CNPJ"));
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QString());
    Action(w, "Cancelar")->trigger();
    TypeClient(w, "500", "55566677788", "ANA", "RUA A");
    TypeClient(w, "7", "", "JOAO", "RUA B");
    QVERIFY(messages.texts().empty());
    QCOMPARE(Parameter(dir.db(), ycoprm::PRM_ULTCLI), std::string("8"));
    QCOMPARE(Client(dir.db(), 500)->status, std::string("0"));
    QCOMPARE(Client(dir.db(), 7)->status, std::string("0"));
    QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(), QStringLiteral("Total [ 8 ]"));
    // a number that is no CNPJ shows in the CPF mask; none shows as a CNPJ of zeros
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("00.000.000/0000-00"));
    ClickCell(w.findChild<QTableView*>("Grid"), 7, 0);
    QCOMPARE(Edit(w, "CLI_CNPJ")->text(), QStringLiteral("555.666.777-88"));
  }

  void theTwoHundredAndFirstClientIsRefused() {
    db::testing::TempDataDir dir({.demo = true});
    KeepClients(dir.db(), 200, [](int i) { return i; });
    ScriptedMessages messages;
    TFCadCli w(nullptr, dir.path());
    Action(w, "Incluir")->trigger();
    QCOMPARE(messages.texts(), Texts{"Não é possível incluir um novo registro.\r\nO Cadastro atingiu o limite máximo de 200 registros."});
    QVERIFY(!Action(w, "Gravar")->isEnabled());
  }

  void anInsertionGivesUpWhileAnotherStationHoldsTheParameters() {
    db::testing::TempDataDir dir({.demo = true});
    SetParameter(dir.db(), ycoprm::PRM_ULTCLI, "6");
    ScriptedMessages messages;
    kaslo::testing::RecordingProgress progress;
    TFCadCli w(nullptr, dir.path());
    w.SetLockOptions({.limit = std::chrono::milliseconds(400)});
    ShowActive(w);
    registers::testing::OtherStation other(dir.path());
    QVERIFY(other.held());
    TypeClient(w, "40", "", "ANA", "RUA A");
    QCOMPARE(messages.texts(), Texts{kInsertFailed});
    QVERIFY(progress.Saw("Aguarde, processando registro..."));
    QVERIFY(Action(w, "Gravar")->isEnabled());  // the client is still being inserted
    QVERIFY(!Client(dir.db(), 40));
    other.LetGo();
    Action(w, "Gravar")->trigger();
    QVERIFY(!Action(w, "Gravar")->isEnabled());
    QVERIFY(Client(dir.db(), 40));
    QCOMPARE(Parameter(dir.db(), ycoprm::PRM_ULTCLI), std::string("7"));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::ClientWindowTest)
#include "TFCadCli_test.moc"
