// The parameter window offscreen: its pages and states, "&Alterar" on an
// empty table and on the fresh row of CNPJ 0, Enter moving on and saving in
// "Fone/Fax:", the centring choice written into both fields of its line,
// the LOG option of RURUDOR.INI written only after the row was posted, and
// the store header as kaslo-terminal receives it from `kaslo serve --job 241`.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTabWidget>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "comm/load_files.h"
#include "comm/protocol_test_support.h"
#include "common/testing/scripted_messages.h"
#include "config/ui/TFCadPrmAdm.h"
#include "config/ui/config_window_testing.h"
#include "db/tables/ycoprm.h"
#include "db/temp_data_dir.h"
#include "registers/parameter_testing.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;
using namespace config_window_test;
namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::string Prm(const db::Database& db, const db::FieldDef& field) {
  auto prm = db.open(ycoprm::kTable);
  prm->first();
  return prm->getString(field);
}
size_t PrmRows(const db::Database& db) { return db.open(ycoprm::kTable)->recordCount(); }

}  // namespace

class TFCadPrmAdmTest : public QObject {
  Q_OBJECT

 private slots:
  void pagesGroupsAndTheBrowsingState() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Parametrização do Sistema Administrativo"));
    auto* pages = w.findChild<QTabWidget*>("PageControl1");
    QCOMPARE(pages->count(), 2);
    QCOMPARE(pages->tabText(0), QStringLiteral("Operacional I"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Operacional II"));
    QCOMPARE(pages->currentIndex(), 0);
    QStringList groups;
    for (auto* g : w.findChildren<QGroupBox*>()) groups << g->title();
    groups.sort();
    QCOMPARE(groups, (QStringList{QStringLiteral("  Dados da Empresa  "), QStringLiteral("  Interface de Comunicação  "),
                                  QStringLiteral("  Parametrização de Cadastro  ")}));  // in order of text
    for (auto* g : w.findChildren<QGroupBox*>()) QVERIFY(!g->isEnabled());
    QVERIFY(Action(w, "Alterar")->isEnabled() && Action(w, "Sair")->isEnabled());
    QVERIFY(!Action(w, "Gravar")->isEnabled() && !Action(w, "Cancelar")->isEnabled());
    // the demo store's row
    QCOMPARE(Edit(w, "PRM_RAZAOS")->text(), QStringLiteral("MERCADINHO BOA VISTA LTDA"));
    QCOMPARE(Edit(w, "PRM_CEP")->text().size(), 5);
    QCOMPARE(Edit(w, "PRM_CEPP")->text().size(), 3);
    QCOMPARE(w.findChild<QComboBox*>("LogOnLine")->currentText(), QStringLiteral("NAO"));
    QCOMPARE(Combo(w, "Q40_EXPA1")->Items(), (QStringList{QStringLiteral("NÃO"), QStringLiteral("SIM")}));

    Action(w, "Alterar")->trigger();
    QVERIFY(!Action(w, "Alterar")->isEnabled() && !Action(w, "Sair")->isEnabled());
    QVERIFY(Action(w, "Gravar")->isEnabled() && Action(w, "Cancelar")->isEnabled());
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_NOLOJA")));
    // both pages edit the same row
    pages->setCurrentIndex(1);
    QCOMPARE(pages->currentIndex(), 1);
    Action(w, "Cancelar")->trigger();
    QVERIFY(Action(w, "Alterar")->isEnabled());
  }

  void theFreshRowOfCnpjZeroIsEditedInPlace() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir;
    QCOMPARE(PrmRows(dir.db()), size_t{1});
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    Type(w, "PRM_RAZAOS", QStringLiteral("PADARIA SÃO JOÃO"));
    Type(w, "PRM_CNPJ", QStringLiteral("11222333000181"));
    Action(w, "Gravar")->trigger();
    QVERIFY(messages.texts().empty());
    QVERIFY(Action(w, "Alterar")->isEnabled());
    QCOMPARE(PrmRows(dir.db()), size_t{1});
    QCOMPARE(Prm(dir.db(), ycoprm::PRM_RAZAOS), std::string("PADARIA S\xC3O JO\xC3O"));
    QCOMPARE(Prm(dir.db(), ycoprm::PRM_CNPJ), std::string("11222333000181"));
  }

  void aRowAnotherStationEditsCannotBeChanged() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    registers::testing::OtherStation other(dir.path(), registers::testing::OtherStation::Hold::kRow);
    QVERIFY(other.held());
    Action(w, "Alterar")->trigger();
    QCOMPARE(messages.texts().size(), size_t{1});
    const std::string text = messages.texts().front();
    const std::string expected = "Não foi possível alterar o registro !\r\nTente novamente, ou cancele a operação.\r\n";
    QCOMPARE(text.substr(0, expected.size()), expected);
    QVERIFY(text.size() > expected.size());  // the engine's cause on its own line
    QVERIFY(Action(w, "Alterar")->isEnabled() && !Action(w, "Gravar")->isEnabled());
    other.LetGo();
    messages.Clear();
    Action(w, "Alterar")->trigger();
    QVERIFY(messages.texts().empty());
    QVERIFY(Action(w, "Gravar")->isEnabled());
  }

  void anEmptyTableGetsItsFirstRow() {
    db::testing::TempDataDir dir;
    Keep(dir.db(), ycoprm::kTable, 0, [](db::Table&, int) {});
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    QVERIFY(Edit(w, "PRM_RAZAOS")->text().isEmpty());
    Action(w, "Alterar")->trigger();
    Type(w, "PRM_RAZAOS", QStringLiteral("LOJA NOVA"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(PrmRows(dir.db()), size_t{1});
    QCOMPARE(Prm(dir.db(), ycoprm::PRM_RAZAOS), std::string("LOJA NOVA"));
  }

  void enterMovesOnAndSavesInTheLastField() {
    db::testing::TempDataDir dir({.demo = true});
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Alterar")->trigger();
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_NOLOJA")));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_CNPJ")));
    Type(w, "PRM_RAZAOS", QStringLiteral("X"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), static_cast<QWidget*>(Combo(w, "Q40_EXPA1")));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), static_cast<QWidget*>(Combo(w, "CEN1")));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_ENDERE")));
    Type(w, "PRM_FONE", QStringLiteral("33334444"));
    QTest::keyClick(Focused(), Qt::Key_Return);
    QVERIFY(Action(w, "Alterar")->isEnabled());
    QCOMPARE(Prm(dir.db(), ycoprm::PRM_FONE), std::string("33334444"));
    QCOMPARE(Prm(dir.db(), ycoprm::PRM_RAZAOS), std::string("X"));
  }

  void theLogOptionIsWrittenOnlyAfterThePost() {
    db::testing::TempDataDir dir({.demo = true});
    const fs::path ini = dir.path() / "Rurudor.ini";
    std::ofstream(ini, std::ios::binary) << "[Impressora]\r\nPorta=COM1\r\n";
    TFCadPrmAdm w(nullptr, dir.path());
    ShowActive(w);
    auto* log = w.findChild<QComboBox*>("LogOnLine");
    QCOMPARE(log->currentText(), QStringLiteral("NAO"));
    QVERIFY(!log->isEnabled());
    Action(w, "Alterar")->trigger();
    log->setCurrentText(QStringLiteral("SIM"));
    Action(w, "Cancelar")->trigger();
    QCOMPARE(log->currentText(), QStringLiteral("NAO"));
    QCOMPARE(Read(ini), std::string("[Impressora]\r\nPorta=COM1\r\n"));

    Action(w, "Alterar")->trigger();
    log->setCurrentText(QStringLiteral("SIM"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Read(ini), std::string("[Impressora]\r\nPorta=COM1\r\n\r\n\r\n[Sistema]\r\nLogOnLine=1\r\n"));
    QVERIFY(!fs::exists(dir.path() / "RURUDOR.INI"));

    TFCadPrmAdm again(nullptr, dir.path());
    QCOMPARE(again.findChild<QComboBox*>("LogOnLine")->currentText(), QStringLiteral("SIM"));
  }

  // The store header typed here, as a terminal receives it from job 241.
  void theHeaderReachesTheTerminal() {
    db::testing::TempDataDir dir({.demo = true});
    {
      TFCadPrmAdm w(nullptr, dir.path());
      ShowActive(w);
      Action(w, "Alterar")->trigger();
      Type(w, "PRM_RAZAOS", QStringLiteral("MERCADO BOA VISTA"));
      Combo(w, "Q40_EXPA1")->Choose(QStringLiteral("N"));
      Combo(w, "CEN1")->Choose(QStringLiteral("S"));
      Type(w, "PRM_ENDERE", QStringLiteral("RUA DAS FLORES 120"));
      Combo(w, "Q40_EXPA2")->Choose(QStringLiteral("N"));
      Combo(w, "CEN2")->Choose(QStringLiteral("N"));
      Type(w, "Q40_ADIC1", QStringLiteral("CENTRO"));
      Combo(w, "Q40_EXPA3")->Choose(QStringLiteral("S"));
      Combo(w, "CEN3")->Choose(QStringLiteral("S"));
      Type(w, "Q40_ADIC2", QString());
      Action(w, "Gravar")->trigger();
      QVERIFY(Action(w, "Alterar")->isEnabled());
    }
    QCOMPARE(Prm(dir.db(), ycoprm::Q40_CAMCEN) + Prm(dir.db(), ycoprm::Q40_CEN1), std::string("SS"));
    QCOMPARE(Prm(dir.db(), ycoprm::Q40_CAMCE1) + Prm(dir.db(), ycoprm::Q40_CEN2), std::string("NN"));
    QCOMPARE(Prm(dir.db(), ycoprm::Q40_CAMCE2) + Prm(dir.db(), ycoprm::Q40_CEN3), std::string("SS"));

    const fs::path terminal = dir.path() / "terminal";
    fs::create_directories(terminal / "out");
    QProcess serve;
    serve.start(QString::fromStdString((comm::testing::BinDir() / "kaslo").string()),
                {"serve", QString::fromStdString(dir.path().string()), "--job", "241", "--terminals", "1", "--port",
                 "0", "--bind", "127.0.0.1", "--timeout", "60"});
    QVERIFY(serve.waitForStarted());
    QString port;
    while (port.isEmpty() && serve.waitForReadyRead(30000)) {
      while (serve.canReadLine()) {
        const QString line = QString::fromUtf8(serve.readLine()).trimmed();
        if (const auto at = line.indexOf(QStringLiteral("(porta ")); at >= 0) port = line.mid(at + 7).chopped(1);
      }
    }
    QVERIFY(!port.isEmpty());
    const auto result = comm::testing::RunTerminal({"--port", port.toStdString(), "--from", "127.0.0.1",
                                                    "--receive-dir", (terminal / "in").string(), "--send-dir",
                                                    (terminal / "out").string(), "--timeout", "60"});
    QVERIFY2(result.exit_code == 0, result.out.c_str());
    QVERIFY(serve.waitForFinished(60000));
    QCOMPARE(serve.exitCode(), 0);

    // Expanded lines take 21 columns, normal ones 42; "S" centres.
    const std::string expected = comm::PrintLinesRecord({comm::PrintLine{"MERCADO BOA VISTA", "N", "S"},
                                                         comm::PrintLine{"RUA DAS FLORES 120", "N", "N"},
                                                         comm::PrintLine{"CENTRO", "S", "S"},
                                                         comm::PrintLine{"", Prm(dir.db(), ycoprm::Q40_EXPA4),
                                                                         Prm(dir.db(), ycoprm::Q40_CAMCE3)}});
    QCOMPARE(QByteArray::fromStdString(Read(terminal / "in" / "Rheader.dad")), QByteArray::fromStdString(expected));
    QVERIFY(expected.find(std::string(12, ' ') + "MERCADO BOA VISTA" + std::string(13, ' ')) != std::string::npos);
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFCadPrmAdmTest)
#include "TFCadPrmAdm_test.moc"
