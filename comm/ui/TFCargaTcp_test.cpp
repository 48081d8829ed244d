// The communication window, the text viewer and TFR60 offscreen: a product
// load served to kaslo-terminal over loopback, the selection, every message
// of the window with its exact text, "&Visualizar Dados" for registers and
// texts, and the SINTEGRA period dialog.
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "comm/jobs.h"
#include "comm/received_files.h"
#include "comm/ui/TFCargaTcp.h"
#include "comm/ui/TFR60.h"
#include "comm/ui/TFTextViewer.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/WindowRegistry.h"
#include "db/install.h"
#include "db/table.h"
#include "db/tables/ycoy60.h"

#include "comm/protocol_test_support.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using kaslo::testing::MessageKind;
using kaslo::testing::RecordingProgress;
using kaslo::testing::ScriptedMessages;
using Texts = std::vector<std::string>;

namespace {

constexpr int kLongWaitMs = 60000;

QString Terminal() { return QString::fromStdString((comm::testing::BinDir() / "kaslo-terminal").string()); }

}  // namespace

class TFCargaTcpTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  int case_ = 0;

  template <typename T>
  static T* Find(QWidget& window, const char* name) {
    T* widget = window.findChild<T*>(QString::fromLatin1(name));
    if (!widget) qFatal("no control %s", name);
    return widget;
  }
  static QTreeWidget* List(QWidget& w) { return Find<QTreeWidget>(w, "ListPlu"); }
  static QString Status(QWidget& w, int row) { return List(w)->topLevelItem(row)->text(2); }
  static void DoubleClick(QWidget& w, int row) {
    QTreeWidget* list = List(w);
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  }
  static void Click(QWidget& w, const char* button) { QTest::mouseClick(Find<QPushButton>(w, button), Qt::LeftButton); }
  // Makes row `row` the chosen one and finished, as a served terminal leaves it.
  static void Finish(TFCargaTcp& w, int row) {
    w.runner().list().update(static_cast<size_t>(row), [](comm::TerminalRow& r) {
      r.image = comm::kImageFinished;
      r.status = comm::kStatusCommunicating;
    });
    List(w)->setCurrentItem(List(w)->topLevelItem(row));
  }
  void QueueProductChange() {
    auto table = db::Database(dir_).open(ycoy60::kTable);
    table->append();
    table->setNumber(ycoy60::Y60_PROPLU, 1234);
    table->setString(ycoy60::Y60_STATUS, "3");
    table->post();
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() /
           ("kaslo_tfcargatcp_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() {
    TFTextViewer::SetEditorLauncher({});
    fs::remove_all(dir_);
  }

  void productLoadIsServedToTheTerminal() {
    ScriptedMessages messages;
    QueueProductChange();
    TFCargaTcp window(db::Database(dir_), comm::kJobProductLoad);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Enviar Cadastro de Produtos (Carga Completa)"));

    QStringList seen;
    connect(List(window)->model(), &QAbstractItemModel::dataChanged, &window, [&] {
      const QString status = Status(window, 0);
      if (seen.isEmpty() || seen.back() != status) seen.push_back(status);
    });
    DoubleClick(window, 0);
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
    const uint16_t port = comm::testing::FreeLoopbackPort();
    Find<QLineEdit>(window, "edtPorta")->setText(QString::number(port));
    messages.QueueConfirm(true);
    Click(window, "btnIniciar");
    QCOMPARE(messages.texts(),
             Texts{"Confirma  [ Enviar Cadastro de Produtos (Carga Completa) ]\rpara terminais selecionados ?"});
    QCOMPARE(Status(window, 0), QStringLiteral("Aguardando Comunicação"));
    QCOMPARE(Status(window, 1), QStringLiteral("Stand By"));
    QCOMPARE(Find<QLabel>(window, "lblAguarde")->text(), QStringLiteral("Servidor de comunicação inicializado"));
    for (const char* b : {"btnIndividual", "btnTodos", "btnIniciar"}) QVERIFY(!Find<QPushButton>(window, b)->isEnabled());
    QVERIFY(!Find<QLabel>(window, "lblDica")->isEnabled());
    QVERIFY(window.runner().listening());
    QCOMPARE(window.runner().port(), port);

    // The terminal writes its identity a byte at a time, so the row stays
    // "Comunicando" long enough to be drawn.
    const fs::path terminal_dir = dir_ / "terminal";
    QProcess terminal;
    terminal.start(Terminal(), {"--port", QString::number(port), "--from", "127.0.0.1", "--model", "4", "--chunk",
                                "1", "--receive-dir", QString::fromStdString((terminal_dir / "in").string()),
                                "--send-dir", QString::fromStdString((terminal_dir / "out").string()), "--timeout",
                                "60"});
    QVERIFY(terminal.waitForStarted(kLongWaitMs));
    QTRY_COMPARE_WITH_TIMEOUT(Status(window, 0), QStringLiteral("Comunicação Finalizada"), kLongWaitMs);
    if (terminal.state() != QProcess::NotRunning) QVERIFY(terminal.waitForFinished(kLongWaitMs));
    QCOMPARE(terminal.exitCode(), 0);
    const QString out = QString::fromUtf8(terminal.readAllStandardOutput());
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 received RProds.dad")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 end")), qPrintable(out));

    QCOMPARE(seen, (QStringList{"Selecionado", "Aguardando Comunicação", "Comunicando", "Comunicação Finalizada"}));
    QCOMPARE(List(window)->topLevelItem(0)->text(3), QStringLiteral("100 %"));
    QCOMPARE(List(window)->topLevelItem(0)->background(0).color(), QColor(0xDF, 0xE0, 0xE1));
    // Byte for byte what the job prepared: 86-byte products for model 4.
    const std::string products = comm::testing::Slurp(terminal_dir / "in" / "RProds.dad");
    QVERIFY(!products.empty());
    QCOMPARE(products.size() % 86, size_t{0});
    QCOMPARE(products, comm::testing::Slurp(dir_ / "Prods5"));
    QCOMPARE(comm::testing::Slurp(terminal_dir / "in" / "Rnlumnt.dad"), comm::testing::Slurp(dir_ / "Rnlumnt.dad"));

    messages.Clear();
    messages.QueueConfirm(true);
    window.close();
    QCOMPARE(messages.texts(), Texts{"Deseja apagar o arquivo de alterações\rde produtos ? [sn]"});
    QCOMPARE(Find<QLabel>(window, "lblAguarde")->text(), QStringLiteral("Servidor de comunicação encerrado"));
    QVERIFY(!comm::ProductQueueHasRows(db::Database(dir_)));
    QVERIFY(!fs::exists(dir_ / "Rnlumnt.dad"));
    QCOMPARE(messages.unanswered(), 0);
  }

  void windowShowsTheJobAndItsTerminals() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 8);
    QCOMPARE(window.windowTitle(), QStringLiteral("Leitura do Cadastro de Operadores"));
    QTreeWidget* list = List(window);
    QCOMPARE(list->columnCount(), 4);
    const QStringList headers{"Terminal", "Endereço IP", "Status", "Progresso"};
    const int widths[] = {80, 144, 180, 90};
    for (int c = 0; c < 4; ++c) {
      QCOMPARE(list->headerItem()->text(c), headers[c]);
      QCOMPARE(list->columnWidth(c), widths[c]);
    }
    QCOMPARE(list->topLevelItem(0)->textAlignment(2), int(Qt::AlignCenter));
    QCOMPARE(list->topLevelItemCount(), 3);
    for (int row = 0; row < 3; ++row) {
      QTreeWidgetItem* item = list->topLevelItem(row);
      QCOMPARE(item->text(0), QString::number(row + 1));
      QCOMPARE(item->text(1), QStringLiteral("127.0.0.%1").arg(row + 1));
      QCOMPARE(item->text(2), QStringLiteral("Stand By"));
      QCOMPARE(item->text(3), QStringLiteral("0 %"));
      QCOMPARE(item->background(1).color(), QColor(Qt::white));
      QVERIFY(!item->icon(0).isNull());
    }
    QCOMPARE(Find<QLineEdit>(window, "edtPorta")->text(), QStringLiteral("3010"));
    QCOMPARE(Find<QPushButton>(window, "btnIndividual")->text(), QStringLiteral("Seleção Individual"));
    QCOMPARE(Find<QPushButton>(window, "btnTodos")->text(), QStringLiteral("Selecionar &Todos"));
    QCOMPARE(Find<QPushButton>(window, "btnIniciar")->text(), QStringLiteral("Iniciar &Servidor"));
    QCOMPARE(Find<QPushButton>(window, "btnVisualizar")->text(), QStringLiteral("&Visualizar Dados"));
    QVERIFY(Find<QLabel>(window, "lblAguarde")->text().isEmpty());

    // "&Visualizar Dados" only for the readings; captions of the table.
    for (int kind : {1, 24, 997, 998}) QVERIFY(TFCargaTcp(db::Database(dir_), kind).findChild<QPushButton*>("btnVisualizar")->isEnabled());
    for (int kind : {87, 181, 499}) QVERIFY(!TFCargaTcp(db::Database(dir_), kind).findChild<QPushButton*>("btnVisualizar")->isEnabled());
    QCOMPARE(TFCargaTcp(db::Database(dir_), 241).windowTitle(), QStringLiteral("Carga de Terminais"));
    QCOMPARE(TFCargaTcp(db::Database(dir_), 997).windowTitle(), QStringLiteral("Leitura SINTEGRA - Mês Anterior"));
    QVERIFY(messages.messages().empty());
  }

  void rowsAreSelectedByDoubleClickEnterAndTheButtons() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 181);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = List(window);
    DoubleClick(window, 1);
    QCOMPARE(Status(window, 1), QStringLiteral("Selecionado"));
    QCOMPARE(list->topLevelItem(1)->background(0).color(), QColor(0xDD, 0xDD, 0xFF));
    QCOMPARE(list->topLevelItem(1)->data(0, Qt::UserRole).toInt(), 1);
    DoubleClick(window, 1);
    QCOMPARE(Status(window, 1), QStringLiteral("Stand By"));

    list->setFocus();
    list->setCurrentItem(list->topLevelItem(2));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(Status(window, 2), QStringLiteral("Selecionado"));
    QVERIFY(window.isVisible());  // Enter toggles the row, it does not press a button

    Click(window, "btnTodos");
    for (int row = 0; row < 3; ++row) QCOMPARE(Status(window, row), QStringLiteral("Selecionado"));
    Click(window, "btnIndividual");
    for (int row = 0; row < 3; ++row) QCOMPARE(Status(window, row), QStringLiteral("Stand By"));
    QVERIFY(messages.messages().empty());
  }

  void theChosenRowKeepsItsStateColour() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = List(window);
    DoubleClick(window, 1);
    QVERIFY(list->topLevelItem(1)->isSelected());
    // Away from the list, whose focus frame is a light tint of its own.
    Find<QLineEdit>(window, "edtPorta")->setFocus();
    // A point of the row away from its texts: the end of the address cell.
    const QRect cell = list->visualItemRect(list->topLevelItem(1));
    const QPoint at(list->columnViewportPosition(1) + list->columnWidth(1) - 8, cell.center().y());
    QCOMPARE(list->viewport()->grab().toImage().pixelColor(at), QColor(0xDD, 0xDD, 0xFF));
    Finish(window, 1);
    QTRY_COMPARE(Status(window, 1), QStringLiteral("Comunicação Finalizada"));
    QTRY_COMPARE(list->viewport()->grab().toImage().pixelColor(at), QColor(0xDF, 0xE0, 0xE1));
  }

  void startWithoutSelectionOnlyTellsSo() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 181);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Click(window, "btnIniciar");
    QCOMPARE(messages.texts(), Texts{"Não foi selecionado nenhum terminal para comunicação!"});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kInformation);
    QVERIFY(Find<QPushButton>(window, "btnIniciar")->isEnabled());
    QVERIFY(!window.runner().selectionLocked());
    QVERIFY(!fs::exists(dir_ / "Prods5"));
    DoubleClick(window, 0);
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
  }

  void readingAsksDosAndNoLocksTheSelection() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    DoubleClick(window, 0);
    messages.QueueConfirm(false);
    Click(window, "btnIniciar");
    QCOMPARE(messages.texts(), Texts{"Confirma  [ Leitura do Cadastro de Operadores ]\rdos terminais selecionados ?"});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kConfirm);
    QVERIFY(window.runner().selectionLocked());
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
    QVERIFY(Find<QPushButton>(window, "btnIniciar")->isEnabled());
    QVERIFY(Find<QLabel>(window, "lblAguarde")->text().isEmpty());
    DoubleClick(window, 0);
    DoubleClick(window, 1);
    Click(window, "btnIndividual");
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
    QCOMPARE(Status(window, 1), QStringLiteral("Stand By"));
    window.close();
    QCOMPARE(messages.texts().size(), size_t{1});  // no closing question for a reading
  }

  void portInUseIsReported() {
    ScriptedMessages messages;
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    QCOMPARE(listen(fd, 1), 0);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);

    TFCargaTcp window(db::Database(dir_), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    DoubleClick(window, 0);
    Find<QLineEdit>(window, "edtPorta")->setText(QString::number(port));
    messages.QueueConfirm(true);
    Click(window, "btnIniciar");
    close(fd);
    QCOMPARE(messages.texts().size(), size_t{2});
    QCOMPARE(messages.messages()[1].kind, MessageKind::kError);
    const std::string expected = "Não foi possível iniciar o servidor de comunicação na porta " + std::to_string(port) + ".\r";
    QVERIFY2(messages.texts()[1].starts_with(expected), messages.texts()[1].c_str());
  }

  void engineErrorOfThePreparationIsShown() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 181);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    fs::remove(db::Database(dir_).find("YCOPRO.DBF"));
    DoubleClick(window, 0);
    messages.QueueConfirm(true);
    Click(window, "btnIniciar");
    QCOMPARE(messages.texts().size(), size_t{2});
    QCOMPARE(messages.messages()[1].kind, MessageKind::kError);
    QVERIFY2(messages.texts()[1].find("YCOPRO") != std::string::npos, messages.texts()[1].c_str());
    QVERIFY(Find<QLabel>(window, "lblAguarde")->text().isEmpty());
    QVERIFY(!window.runner().listening());
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
  }

  void viewDataOfARegister() {
    ScriptedMessages messages;
    std::vector<OpenContext> opened;
    RegisterWindow("TFTcpViewCad", [&](const OpenContext& c) { opened.push_back(c); });
    TFCargaTcp window(db::Database(dir_), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTreeWidget* list = List(window);
    list->clearSelection();
    Click(window, "btnVisualizar");
    list->setCurrentItem(list->topLevelItem(1));
    Click(window, "btnVisualizar");
    Finish(window, 1);
    QTRY_COMPARE(Status(window, 1), QStringLiteral("Comunicação Finalizada"));
    Click(window, "btnVisualizar");
    const fs::path file = dir_ / "Suser2.rec";
    comm::testing::Write(file, std::string(78, '0'));
    Click(window, "btnVisualizar");
    UnregisterWindow("TFTcpViewCad");

    QCOMPARE(messages.texts(),
             (Texts{std::string(comm::kViewNoRow), std::string(comm::kViewNotFinished),
                    "Não foi localizado o arquivo " + file.string()}));
    QCOMPARE(messages.texts()[0],
             std::string("Não foi selecionado nenhum terminal para visualização de dados.\rSelecione o terminal "
                         "desejado e clique em < Visualizar Dados >."));
    QCOMPARE(messages.texts()[1],
             std::string("Não foi finalizada a comunicação com o terminal selecionado.\rAguarde o termino da "
                         "comunicação e clique em < Visualizar Dados >."));
    QCOMPARE(opened.size(), size_t{1});
    QCOMPARE(opened[0].owner, static_cast<QWidget*>(&window));
    QCOMPARE(opened[0].data_dir, dir_);
    QCOMPARE(opened[0].tag, 8);
    QCOMPARE(opened[0].title, std::string("Leitura do Cadastro de Operadores"));
    QCOMPARE(opened[0].terminal, std::string("2"));
    QCOMPARE(opened[0].address, std::string("127.0.0.2"));
    QCOMPARE(opened[0].file, file);
  }

  void viewDataOfPaymentTypesPassesBothFiles() {
    ScriptedMessages messages;
    std::vector<OpenContext> opened;
    RegisterWindow("TFTcpViewCad", [&](const OpenContext& c) { opened.push_back(c); });
    for (int kind : {12, 20}) {
      TFCargaTcp window(db::Database(dir_), kind);
      Finish(window, 1);
      QTRY_COMPARE(Status(window, 1), QStringLiteral("Comunicação Finalizada"));
      comm::testing::Write(dir_ / (kind == 12 ? "Scfgfinal2.rec" : "Sfinaliz2.rec"), "x");
      Click(window, "btnVisualizar");
    }
    UnregisterWindow("TFTcpViewCad");
    QVERIFY(messages.messages().empty());
    QCOMPARE(opened.size(), size_t{2});
    QCOMPARE(opened[0].file, dir_ / "Scfgfinal2.rec");
    QCOMPARE(opened[0].companion, dir_ / "Sfinaliz2.rec");
    QCOMPARE(opened[1].file, dir_ / "Sfinaliz2.rec");
    QCOMPARE(opened[1].companion, dir_ / "Scfgfinal2.rec");
  }

  void viewReportInTheTextViewer() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Finish(window, 0);
    QTRY_COMPARE(Status(window, 0), QStringLiteral("Comunicação Finalizada"));
    Click(window, "btnVisualizar");
    const fs::path file = dir_ / "GX1.rec";
    QCOMPARE(messages.texts(), Texts{"Arquivo " + file.string() + ", não encontrado."});

    comm::testing::Write(file, "LEITURA X\r\nTOTAL    12,50\r\nA\xE7\xFA" "car\r\n");
    std::vector<fs::path> handed;
    TFTextViewer::SetEditorLauncher([&](const fs::path& p) {
      handed.push_back(p);
      return true;
    });
    QString caption, text;
    bool read_only = false, fixed = false;
    WhenModal([&](QWidget* w) {
      caption = w->windowTitle();
      auto* memo = w->findChild<QPlainTextEdit*>(QStringLiteral("memTexto"));
      text = memo->toPlainText();
      read_only = memo->isReadOnly();
      const QFontMetrics metrics(memo->font());
      fixed = metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('W'));
      QPushButton* editor = w->findChild<QPushButton*>(QStringLiteral("btnEditor"));
      QCOMPARE(editor->text(), QStringLiteral("Abrir no editor"));
      QTest::mouseClick(editor, Qt::LeftButton);
      QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("btnFechar")), Qt::LeftButton);
    });
    Click(window, "btnVisualizar");
    QCOMPARE(caption, QStringLiteral("GX1.rec"));
    QCOMPARE(text, QStringLiteral("LEITURA X\nTOTAL    12,50\nAçúcar\n"));
    QVERIFY(read_only);
    QVERIFY(fixed);
    QCOMPARE(handed, std::vector<fs::path>{file});
    QCOMPARE(messages.texts().size(), size_t{1});

    // An editor that does not start is said so.
    TFTextViewer::SetEditorLauncher([](const fs::path&) { return false; });
    TFTextViewer viewer(file);
    QTest::mouseClick(viewer.findChild<QPushButton*>(QStringLiteral("btnEditor")), Qt::LeftButton);
    QCOMPARE(messages.texts().back(), std::string("Não foi possível abrir o editor de textos."));
  }

  void viewLogAndSintegraTextsMissing() {
    ScriptedMessages messages;
    for (int kind : {23, 998, 997}) {
      TFCargaTcp window(db::Database(dir_), kind);
      window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
      Finish(window, 2);
      QTRY_COMPARE(Status(window, 2), QStringLiteral("Comunicação Finalizada"));
      Click(window, "btnVisualizar");
    }
    QCOMPARE(messages.texts(), (Texts{"Não foi localizado o arquivo " + (dir_ / "SLogs3.trz").string(),
                                      "Não foi localizado o arquivo " + (dir_ / "r60m3.txt").string(),
                                      "Não foi localizado o arquivo " + (dir_ / "r60mold3.txt").string()}));
  }

  void closingAProductLoadWithoutStartingStillAsks() {
    ScriptedMessages messages;
    QueueProductChange();
    {
      TFCargaTcp window(db::Database(dir_), 181);
      window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
      messages.QueueConfirm(false);
      window.close();
      QCOMPARE(messages.texts(), Texts{"Deseja apagar o arquivo de alterações\rde produtos ? [sn]"});
    }
    QVERIFY(comm::ProductQueueHasRows(db::Database(dir_)));
    // Closed once: the destructor asks nothing more.
    QCOMPARE(messages.texts().size(), size_t{1});
  }

  void r60ChoosesThePeriod() {
    ScriptedMessages messages;
    RecordingProgress progress;
    std::vector<OpenContext> opened;
    const WindowOpener real = *FindWindowOpener("TFCargaTcp");
    RegisterWindow("TFCargaTcp", [&](const OpenContext& c) {
      opened.push_back(c);
      QVERIFY(progress.visible());
    });
    for (bool previous : {false, true}) {
      TFR60 dialog(dir_);
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Emissão de Relatório SINTEGRA"));
      QCOMPARE(Find<QLabel>(dialog, "lblTexto")->text(), QStringLiteral("Selecione o período de apuração e tecle em <OK>."));
      QCOMPARE(Find<QRadioButton>(dialog, "rbAtual")->text(), QStringLiteral("Mês atual"));
      QCOMPARE(Find<QRadioButton>(dialog, "rbAnterior")->text(), QStringLiteral("Mês anterior"));
      QVERIFY(Find<QRadioButton>(dialog, "rbAtual")->isChecked());
      QCOMPARE(Find<QPushButton>(dialog, "btnOk")->text(), QStringLiteral("&Ok"));
      QCOMPARE(Find<QPushButton>(dialog, "btnFechar")->text(), QStringLiteral("&Fechar"));
      QRadioButton* anterior = Find<QRadioButton>(dialog, "rbAnterior");
      if (previous) QTest::mouseClick(anterior, Qt::LeftButton, {}, QPoint(8, anterior->height() / 2));
      Click(dialog, "btnOk");
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    TFR60 closed(dir_);
    closed.show();
    Click(closed, "btnFechar");
    QVERIFY(!closed.isVisible());
    RegisterWindow("TFCargaTcp", real);

    QCOMPARE(opened.size(), size_t{2});
    QCOMPARE(opened[0].tag, 998);
    QCOMPARE(opened[1].tag, 997);
    QCOMPARE(opened[1].data_dir, dir_);
    QVERIFY(progress.Saw("Aguarde, verificando estações..."));
    QVERIFY(!progress.visible());
    QVERIFY(messages.messages().empty());
  }

  void menuOpenersAreRegistered() {
    QVERIFY(FindWindowOpener("TFCargaTcp"));
    QVERIFY(FindWindowOpener("TFR60"));
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFCargaTcpTest)
#include "TFCargaTcp_test.moc"
