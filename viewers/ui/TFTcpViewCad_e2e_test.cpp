// Configuration readings end to end, offscreen: the communication window
// serves the reading to kaslo-terminal over loopback, "&Visualizar Dados"
// opens the register viewer on what came back, and "&Substituir Cadastro"
// writes it into the tables, which are then read field by field.
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "comm/protocol_test_support.h"
#include "comm/ui/TFCargaTcp.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/qt_text.h"
#include "db/database.h"
#include "db/install.h"
#include "db/tables/ycotey.h"
#include "viewers/payment_types_testing.h"
#include "viewers/ui/TFTcpViewCad.h"
#include "viewers/ui/viewer_test_support.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using Texts = std::vector<std::string>;

namespace {

constexpr int kLongWaitMs = 60000;
const std::string kConfirma = "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?";

QString Q(const std::string& utf8) { return FromUtf8(utf8); }

}  // namespace

class TFTcpViewCadEndToEndTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  fs::path terminal_dir_;

  std::string Completa(const std::string& operation) const {
    return viewer_test::CompletaWithBackup(dir_, operation);
  }
  int case_ = 0;

  template <typename T>
  static T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  static QString Status(QWidget& w) { return Find<QTreeWidget>(w, "ListPlu")->topLevelItem(0)->text(2); }
  static QString Cell(QTableWidget* grid, int r, int c) { return viewer_test::Cell(grid, r, c); }

  // Serves reading `kind` to terminal 1 (kaslo-terminal from 127.0.0.1
  // sending what lies in its send folder), then presses "&Visualizar Dados"
  // and runs `act` on the viewer. False when no viewer appeared.
  bool ServeAndView(int kind, const std::function<void(TFTcpViewCad&)>& act, ScriptedMessages& messages) {
    TFCargaTcp window(db::Database(dir_), kind);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return false;
    QTreeWidget* list = Find<QTreeWidget>(window, "ListPlu");
    QTreeWidgetItem* first = list->topLevelItem(0);
    const QPoint at = list->visualItemRect(first).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    const uint16_t port = comm::testing::FreeLoopbackPort();
    Find<QLineEdit>(window, "edtPorta")->setText(QString::number(port));
    messages.QueueConfirm(true);
    QTest::mouseClick(Find<QPushButton>(window, "btnIniciar"), Qt::LeftButton);

    QProcess terminal;
    terminal.start(QString::fromStdString((comm::testing::BinDir() / "kaslo-terminal").string()),
                   {"--port", QString::number(port), "--from", "127.0.0.1", "--receive-dir",
                    QString::fromStdString((terminal_dir_ / "in").string()), "--send-dir",
                    QString::fromStdString((terminal_dir_ / "out").string()), "--timeout", "60"});
    if (!terminal.waitForStarted(kLongWaitMs)) return false;
    if (!QTest::qWaitFor([&] { return Status(window) == QStringLiteral("Comunicação Finalizada"); }, kLongWaitMs))
      return false;
    if (terminal.state() != QProcess::NotRunning) terminal.waitForFinished(kLongWaitMs);
    if (terminal.exitCode() != 0) qWarning("%s", terminal.readAllStandardOutput().constData());

    const bool ran = viewer_test::OnViewer(
        [&] { QTest::mouseClick(Find<QPushButton>(window, "btnVisualizar"), Qt::LeftButton); }, act);
    window.close();
    return ran;
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() /
           ("kaslo_viewer_e2e_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
    terminal_dir_ = dir_ / "terminal";
  }
  void cleanup() { fs::remove_all(dir_); }

  void paymentTypesComeBackAndAreWrittenInPlace() {
    ScriptedMessages messages;
    // Three names, the second blank, and two configurations.
    comm::testing::Write(terminal_dir_ / "out" / "Sfinaliz.dad",
                         std::string("DINHEIRO       ") + std::string(15, ' ') + "TICKET         ");
    comm::testing::Write(terminal_dir_ / "out" / "Scfgfinal.dad", "00150SS1S00300NN4S");
    const bool ran = ServeAndView(
        12,
        [&](TFTcpViewCad& v) {
          QCOMPARE(v.windowTitle(), Q("Leitura de Configuração de Finalizadoras - Total de Registros [ 3 ]"));
          auto* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
          QCOMPARE(Cell(grid, 0, 0), Q("01"));
          QCOMPARE(Cell(grid, 0, 2), Q("150.00"));
          QCOMPARE(Cell(grid, 1, 4), Q("4 CONVÊNIO"));
          // The third name had no configuration: no number, not written.
          QCOMPARE(Cell(grid, 2, 0), QString());
          QCOMPARE(Cell(grid, 2, 1), Q("TICKET         "));
          messages.QueueConfirm(true);
          QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("BtnSub")), Qt::LeftButton);
        },
        messages);
    QVERIFY(ran);
    QCOMPARE(messages.texts(),
             (Texts{"Confirma  [ Leitura de Configuração de Finalizadoras ]\rdos terminais selecionados ?", kConfirma,
                    Completa("substituicao-ycoq40")}));

    using Row = viewers::testing::PaymentTypeRow;
    const std::vector<Row> rows = viewers::testing::PaymentTypeRows(db::Database(dir_));
    // 1 and 2 replaced in place, 3 to 6 of the demo store untouched.
    QCOMPARE(rows.size(), size_t{6});
    QCOMPARE(rows[0], (Row{1, "DINHEIRO", "1", "S", "S", "S", 150}));
    QCOMPARE(rows[1], (Row{2, "", "4", "N", "N", "S", 300}));
    QCOMPARE(std::get<1>(rows[2]), std::string("CART\xC3O DE CR\xC9" "DITO"));
    QCOMPARE(std::get<1>(rows[5]), std::string("VALE ALIMENTA\xC7\xC3O"));
  }

  void keyboardComesBackAndEachKeyTakesItsPosition() {
    ScriptedMessages messages;
    // A, B, C: a PLU key, a department key, the cash key; D an empty key.
    comm::testing::Write(terminal_dir_ / "out" / "Steclado.dad", "271200" "280005" "030000" "000000");
    const bool ran = ServeAndView(
        21,
        [&](TFTcpViewCad& v) {
          auto* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
          QCOMPARE(grid->rowCount(), 4);
          QCOMPARE(Cell(grid, 0, 0), Q("A"));
          QCOMPARE(Cell(grid, 0, 1), Q("12"));
          QCOMPARE(Cell(grid, 0, 3), Q("27"));
          QCOMPARE(Cell(grid, 0, 7), Q("812"));
          QCOMPARE(Cell(grid, 1, 2), Q("05"));
          QCOMPARE(Cell(grid, 2, 4), Q("Dinheiro"));
          QCOMPARE(Cell(grid, 3, 4), Q("TECLA NÃO PROGRAMÁVEL"));
          messages.QueueConfirm(true);
          QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("BtnSub")), Qt::LeftButton);
        },
        messages);
    QVERIFY(ran);
    QCOMPARE(messages.texts().back(), Completa("substituicao-ycotey"));

    std::vector<std::tuple<int64_t, int64_t, int64_t>> placed;
    auto tey = db::Database(dir_).open(ycotey::kTable);
    for (tey->first(); !tey->eof(); tey->next())
      if (tey->asInteger(ycotey::TEY_NTECLA) != 0 || tey->asInteger(ycotey::TEY_BOTON) != 0)
        placed.emplace_back(tey->asInteger(ycotey::TEY_NUMBER), tey->asInteger(ycotey::TEY_NTECLA),
                            tey->asInteger(ycotey::TEY_BOTON));
    QCOMPARE(placed, (std::vector<std::tuple<int64_t, int64_t, int64_t>>{{3, 3, 3}, {812, 812, 1}, {905, 905, 2}}));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFTcpViewCadEndToEndTest)
#include "TFTcpViewCad_e2e_test.moc"
