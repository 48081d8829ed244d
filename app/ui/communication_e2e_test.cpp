// A register read back from a terminal, the whole road: the communication
// window runs the reading on a demo data directory, kaslo-terminal answers
// over loopback with a register made here, "&Visualizar Dados" opens the
// register viewer on the received file, and "&Substituir Cadastro" puts the
// terminal's rows into the table. Operators (text), clients and products
// (binary, products with the terminal's identification first). The operators
// are driven by the keyboard alone, the others by the mouse. Last, the
// demo store's products loaded to the terminal come back unchanged.
#include <QLabel>
#include <QTableWidget>
#include <QtTest>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "comm/ui/terminal_session_testing.h"

#include "comm/ui/TFCargaTcp.h"
#include "common/checkdigits.h"
#include "common/numbers.h"
#include "common/testing/scripted_messages.h"
#include "common/text.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/qt_text.h"
#include "db/database.h"
#include "db/install.h"
#include "db/table.h"
#include "db/tables/ycobar.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycopro.h"
#include "viewers/ui/TFTcpViewCad.h"
#include "viewers/ui/viewer_test_support.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using namespace terminal_session;
using Texts = std::vector<std::string>;

namespace {

const std::string kConfirma = "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?";

// Three operators the demo store does not have, 39 characters each: a
// manager with every right, a cashier who may cancel items and take an X
// reading, and one whose name carries a Latin-1 letter.
const std::string kOperators = "0021" + CompletaDireita("BEATRIZ COSTA", 15) + "9001" + std::string(16, 'S') +
                               "0022" + CompletaDireita("OTAVIO", 15) + "0042" + "NNSNSNNNNNNNNNNN" + "0023" +
                               CompletaDireita("JOS\xC9 REIS", 15) + "7777" + "SNNNNNNNNNNSNNNN";

// A client record of the terminal, 128 bytes: code and CPF/CNPJ packed,
// name, address, complement, status.
std::string ClientRecord(const std::string& code4, const std::string& tax14, const std::string& name,
                         const std::string& address, char status) {
  return CompactaBCD(code4 + tax14) + CompletaDireita(name, 30) + CompletaDireita(address, 40) +
         CompletaDireita("SALA 2", 40) + std::string(1, status) + std::string(8, ' ');
}

// A product record of a terminal whose identification selects 86 bytes:
// code, short description, price, tax, department, quantity sold, the
// unused middle, stock, unit flags, decimals, then the model's tail.
std::string ProductRecord(const std::string& plu12, const std::string& descr, const std::string& price8,
                          const std::string& dep2, uint8_t flags) {
  std::string r = CompactaBCD(plu12) + CompletaDireita(descr, 20) + CompactaBCD(price8) + CompactaBCD("01") +
                  CompactaBCD(dep2) + CompactaBCD("000000000000") + std::string(36, '\0') +
                  CompactaBCD("00012050") + std::string(1, static_cast<char>(flags)) + "3";
  r.resize(86, '\0');
  return r;
}

QString Q(const std::string& utf8) { return FromUtf8(utf8); }

}  // namespace

class CommunicationE2eTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  int case_ = 0;
  QString terminal_out_;

  static QString Cell(QTableWidget* grid, int r, int c) {
    const QTableWidgetItem* item = grid->item(r, c);
    return item ? item->text() : QString();
  }
  static QStringList Row(QTableWidget* grid, int r) {
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c) cells << Cell(grid, r, c);
    return cells;
  }

  // The window's job for terminal 1, served to kaslo-terminal; its output
  // is left in terminal_out_.
  void ServeReading(TFCargaTcp& window, ScriptedMessages& messages, const Files& answers, const char* model, By by) {
    ServeJob(window, messages, dir_, answers, model, by, terminal_out_);
  }

  // "&Visualizar Dados" on the row chosen before the reading; `act` runs in
  // the viewer once its display is done, and the viewer is closed with
  // "&Fechar". False when no viewer opened or it stayed open.
  bool View(TFCargaTcp& window, By by, const std::function<void(TFTcpViewCad&)>& act) {
    bool ran = false;
    bool closed = false;
    WhenModal(
        [&](QWidget* w) {
          if (auto* viewer = qobject_cast<TFTcpViewCad*>(w)) {
            ran = true;
            // Mnemonics reach the window that is active.
            if (by == By::kKeyboard && !QTest::qWaitForWindowActive(viewer)) return;
            act(*viewer);
            if (by == By::kMouse)
              Click(*viewer, "btnCancela");
            else
              QTest::keyClick(viewer->windowHandle(), Qt::Key_F, Qt::AltModifier);
            closed = QTest::qWaitFor([&] { return !viewer->isVisible(); }, kLongWaitMs);
          }
          if (w->isVisible()) w->close();
        },
        kLongWaitMs);
    if (by == By::kMouse)
      Click(window, "btnVisualizar");
    else {
      // Keys go in through the window, as the platform delivers them, so
      // that the mnemonics are matched; a mnemonic clicks its button a
      // moment later.
      QTest::keyClick(window.windowHandle(), Qt::Key_V, Qt::AltModifier);
      if (!QTest::qWaitFor([&] { return ran; }, kLongWaitMs)) return false;
    }
    return ran && closed;
  }

  // The viewer's replacement answered Yes.
  static void Replace(TFTcpViewCad& viewer, ScriptedMessages& messages, By by) {
    messages.QueueConfirm(true);
    if (by == By::kMouse)
      Click(viewer, "BtnSub");
    else {
      QTest::keyClick(viewer.windowHandle(), Qt::Key_S, Qt::AltModifier);
      QVERIFY(QTest::qWaitFor([&] { return messages.pending() == 0; }, kLongWaitMs));
    }
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() /
           ("kaslo_comm_e2e_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() { fs::remove_all(dir_); }

  void operatorsReadFromTheTerminalReplaceYcoope() {
    ScriptedMessages messages;
    TFCargaTcp window(db::Database(dir_), 8);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Leitura do Cadastro de Operadores"));

    ServeReading(window, messages, {{"Suser.dad", kOperators}}, "4", By::kKeyboard);
    if (QTest::currentTestFailed()) return;
    const QString& out = terminal_out_;
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 sent Suser.dad 117")), qPrintable(out));
    QCOMPARE(messages.texts(), Texts{"Confirma  [ Leitura do Cadastro de Operadores ]\rdos terminais selecionados ?"});
    // Byte for byte what the terminal sent.
    QCOMPARE(comm::testing::Slurp(dir_ / "Suser1.rec"), kOperators);
    messages.Clear();

    const bool viewed = View(window, By::kKeyboard, [&](TFTcpViewCad& v) {
      QCOMPARE(v.windowTitle(), QStringLiteral("Leitura do Cadastro de Operadores - Total de Registros [ 3 ]"));
      QCOMPARE(v.findChild<QLabel*>(QStringLiteral("lbl_estacao"))->text(), QStringLiteral("1"));
      QCOMPARE(v.findChild<QLabel*>(QStringLiteral("lbl_ter_ecfser"))->text(), QStringLiteral("127.0.0.1"));
      QTableWidget* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
      QCOMPARE(grid->rowCount(), 3);
      QCOMPARE(grid->columnCount(), 16);
      QCOMPARE(grid->currentRow(), 0);
      QCOMPARE(grid->currentColumn(), 1);  // beside the fixed code column
      QCOMPARE(Row(grid, 0).mid(0, 5), QStringList({"21", "BEATRIZ COSTA  ", "SIM", "9001", "SIM"}));
      QCOMPARE(Row(grid, 1).mid(0, 7), (QStringList{"22", "OTAVIO         ", Q("NÃO"), "0042", Q("NÃO"), Q("NÃO"), "SIM"}));
      QCOMPARE(Row(grid, 2).mid(0, 5), (QStringList{"23", Q("JOSÉ REIS      "), Q("NÃO"), "7777", "SIM"}));
      QCOMPARE(Cell(grid, 2, 15), QStringLiteral("SIM"));  // "Acr.SubTot.", the 12th flag
      Replace(v, messages, By::kKeyboard);
      QVERIFY(v.isVisible());
    });
    QCOMPARE(messages.texts(), (Texts{kConfirma, viewer_test::CompletaWithBackup(dir_, "substituicao-ycoope")}));
    QVERIFY(viewed);
    CloseCommunication(window);
    QCOMPARE(messages.texts().size(), size_t{2});
    QCOMPARE(messages.unanswered(), 0);

    // Ycoope holds exactly the terminal's operators, names in Latin-1.
    using Operator = std::tuple<int64_t, std::string, std::string, int64_t, std::string>;
    std::vector<Operator> rows;
    auto ope = db::Database(dir_).open(ycoope::kTable);
    for (ope->first(); !ope->eof(); ope->next()) {
      std::string flags;
      for (const db::FieldDef& f : {ycoope::OPE_DITEM, ycoope::OPE_DSUBTO, ycoope::OPE_CITEM, ycoope::OPE_CCUPOM,
                                    ycoope::OPE_LEITX, ycoope::OPE_REDZ, ycoope::OPE_SANGRI, ycoope::OPE_FDCXA,
                                    ycoope::OPE_LIMITE, ycoope::OPE_RELATO, ycoope::OPE_AITEM, ycoope::OPE_ASUBTO})
        flags += ope->getString(f);
      rows.emplace_back(ope->asInteger(ycoope::OPE_CODIGO), ope->getString(ycoope::OPE_NOME),
                        ope->getString(ycoope::OPE_PERFIL), ope->asInteger(ycoope::OPE_SENHA), flags);
    }
    const std::vector<Operator> expected = {{21, "BEATRIZ COSTA", "S", 9001, "SSSSSSSSSSSS"},
                                            {22, "OTAVIO", "N", 42, "NNSNSNNNNNNN"},
                                            {23, "JOS\xC9 REIS", "N", 7777, "SNNNNNNNNNNS"}};
    QCOMPARE(rows, expected);
  }

  void clientsReadFromTheTerminalReplaceYcocli() {
    ScriptedMessages messages;
    const std::string clients = ClientRecord("0051", "11222333000181", "MERCADO S\xC3O JO\xC3O", "RUA DAS FLORES 10", '0') +
                                ClientRecord("0052", "00012345678909", "ANA PAULA", "AV. BRASIL 500", '2');
    TFCargaTcp window(db::Database(dir_), 16);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ServeReading(window, messages, {{"SClient.dad", clients}}, "4", By::kMouse);
    if (QTest::currentTestFailed()) return;
    const QString& out = terminal_out_;
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 sent SClient.dad 256")), qPrintable(out));
    QCOMPARE(comm::testing::Slurp(dir_ / "SClient1.rec"), clients);
    messages.Clear();

    QVERIFY(View(window, By::kMouse, [&](TFTcpViewCad& v) {
      QCOMPARE(v.windowTitle(), QStringLiteral("Leitura do Cadastro de Clientes - Total de Registros [ 2 ]"));
      QTableWidget* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
      QCOMPARE(grid->rowCount(), 2);
      QCOMPARE(Row(grid, 0), (QStringList{"0051", "11.222.333/0001-81", Q("MERCADO SÃO JOÃO"), "RUA DAS FLORES 10",
                                          "SALA 2", "VERDE"}));
      QCOMPARE(Row(grid, 1), (QStringList{"0052", "123.456.789-09", "ANA PAULA", "AV. BRASIL 500", "SALA 2", "VERMELHO"}));
      Replace(v, messages, By::kMouse);
    }));
    QCOMPARE(messages.texts(), (Texts{kConfirma, viewer_test::CompletaWithBackup(dir_, "substituicao-ycocli")}));
    CloseCommunication(window);

    using Client = std::tuple<int64_t, int64_t, std::string, std::string, std::string>;
    std::vector<Client> rows;
    auto cli = db::Database(dir_).open(ycocli::kTable);
    for (cli->first(); !cli->eof(); cli->next())
      rows.emplace_back(cli->asInteger(ycocli::CLI_CODIGO), cli->asInteger(ycocli::CLI_CNPJ),
                        cli->getString(ycocli::CLI_NOME), cli->getString(ycocli::CLI_ENDER),
                        cli->getString(ycocli::CLI_STATUS));
    const std::vector<Client> expected = {{51, 11222333000181, "MERCADO S\xC3O JO\xC3O", "RUA DAS FLORES 10", "0"},
                                          {52, 12345678909, "ANA PAULA", "AV. BRASIL 500", "2"}};
    QCOMPARE(rows, expected);
  }

  void productsReadFromTheTerminalReplaceYcopro() {
    ScriptedMessages messages;
    // A fifth-model terminal: its identification selects 86-byte records.
    const std::string identity = CompletaDireita("KT 127.0.0.1", 21) + "5000";
    const std::string products = ProductRecord("000000001234", "ARROZ TIPO 1", "00000150", "05", 0x01) +
                                 ProductRecord("000000004321", "\xD3LEO DE SOJA", "00000899", "09", 0x08) +
                                 ProductRecord("000000000077", "FIO DENTAL", "00001000", "05", 0x21);
    TFCargaTcp window(db::Database(dir_), 18);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ServeReading(window, messages, {{"Sid.dad", identity}, {"SProds.dad", products}}, "5", By::kMouse);
    if (QTest::currentTestFailed()) return;
    const QString& out = terminal_out_;
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 sent Sid.dad 25")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("127.0.0.1 sent SProds.dad 258")), qPrintable(out));
    QCOMPARE(comm::testing::Slurp(dir_ / "Sid1.rec"), identity);
    QCOMPARE(comm::testing::Slurp(dir_ / "SProds1.rec"), products);
    QVERIFY(db::Database(dir_).open(ycobar::kTable)->recordCount() > 0);
    messages.Clear();

    QVERIFY(View(window, By::kMouse, [&](TFTcpViewCad& v) {
      QCOMPARE(v.windowTitle(), QStringLiteral("Leitura do Cadastro de Produtos - Total de Registros [ 3 ]"));
      QTableWidget* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
      QCOMPARE(grid->rowCount(), 3);
      // The demo store's codes carry their check digit.
      QCOMPARE(Row(grid, 0).mid(0, 5), (QStringList{"1234-8", "ARROZ TIPO 1", "1.50", "01", "05"}));
      QCOMPARE(Row(grid, 1).mid(1, 2), (QStringList{Q("ÓLEO DE SOJA"), "8.99"}));
      QCOMPARE(Cell(grid, 0, 8), QStringLiteral("KG"));
      QCOMPARE(Cell(grid, 1, 7), QStringLiteral("SIM"));
      QCOMPARE(Cell(grid, 2, 8), QStringLiteral("OU"));
      QCOMPARE(Cell(grid, 2, 10), QStringLiteral("12.050"));
      Replace(v, messages, By::kMouse);
    }));
    QCOMPARE(messages.texts(), (Texts{kConfirma, viewer_test::CompletaWithBackup(dir_, "substituicao-produtos")}));
    CloseCommunication(window);

    db::Database db(dir_);
    QCOMPARE(db.open(ycobar::kTable)->recordCount(), uint32_t{0});
    using Product = std::tuple<double, std::string, double, int64_t, int64_t, std::string, std::string>;
    std::vector<Product> rows;
    auto pro = db.open(ycopro::kTable);
    for (pro->first(); !pro->eof(); pro->next())
      rows.emplace_back(pro->asNumber(ycopro::PRO_PLU), pro->getString(ycopro::PRO_RESUM), pro->asNumber(ycopro::PRO_PCOVEN),
                        pro->asInteger(ycopro::PRO_DEPTO), pro->asInteger(ycopro::PRO_GRUPO),
                        pro->getString(ycopro::PRO_PESAD), pro->getString(ycopro::PRO_LITRAD));
    // Department 9 belongs to no group: group 1. The unit "OU" is kept as its letter.
    const std::vector<Product> expected = {{DigitoEAN(1234), "ARROZ TIPO 1", 1.5, 5, 2, "S", "N"},
                                           {DigitoEAN(4321), "\xD3LEO DE SOJA", 8.99, 9, 1, "N", "S"},
                                           {DigitoEAN(77), "FIO DENTAL", 10.0, 5, 2, "O", "N"}};
    QCOMPARE(rows, expected);
  }

  // The demo store loaded to a fourth-model terminal, read back from it and
  // put back into Ycopro: prices (three-decimal ones too), stock and
  // decimals come back as they went.
  void aProductLoadReadBackAndReplacedLeavesYcoproAsItWas() {
    using Kept = std::tuple<double, double, double, std::string>;
    auto kept = [&] {
      std::vector<Kept> rows;
      auto pro = db::Database(dir_).open(ycopro::kTable, {.tag = "Um"});
      for (pro->first(); !pro->eof(); pro->next())
        rows.emplace_back(pro->asNumber(ycopro::PRO_PLU), pro->asNumber(ycopro::PRO_PCOVEN),
                          pro->asNumber(ycopro::PRO_ESTQ), pro->getString(ycopro::PRO_CASAD));
      return rows;
    };
    const std::vector<Kept> before = kept();
    ScriptedMessages messages;
    {
      TFCargaTcp load(db::Database(dir_), 181);
      load.show();
      QVERIFY(QTest::qWaitForWindowExposed(&load));
      ServeReading(load, messages, {}, "4", By::kMouse);
      if (QTest::currentTestFailed()) return;
      CloseCommunication(load);
    }
    const std::string sent = comm::testing::Slurp(dir_ / "terminal" / "in" / "RProds.dad");
    QCOMPARE(sent.size(), before.size() * 86);
    messages.Clear();

    TFCargaTcp reading(db::Database(dir_), 18);
    reading.show();
    QVERIFY(QTest::qWaitForWindowExposed(&reading));
    ServeReading(reading, messages, {{"SProds.dad", sent}}, "4", By::kMouse);
    if (QTest::currentTestFailed()) return;
    messages.Clear();
    QVERIFY(View(reading, By::kMouse, [&](TFTcpViewCad& v) {
      QTableWidget* grid = v.findChild<QTableWidget*>(QStringLiteral("Grid"));
      QCOMPARE(grid->rowCount(), static_cast<int>(before.size()));
      int picanha = -1;
      for (int r = 0; r < grid->rowCount(); ++r)
        if (Cell(grid, r, 1) == QStringLiteral("PICANHA KG")) picanha = r;
      QVERIFY(picanha >= 0);
      QCOMPARE(Cell(grid, picanha, 2), QStringLiteral("79.900"));
      QCOMPARE(Cell(grid, picanha, 6), QStringLiteral("3"));
      QCOMPARE(Cell(grid, picanha, 10), QStringLiteral("9.875"));
      Replace(v, messages, By::kMouse);
    }));
    QCOMPARE(messages.texts(), (Texts{kConfirma, viewer_test::CompletaWithBackup(dir_, "substituicao-produtos")}));
    CloseCommunication(reading);
    QCOMPARE(kept(), before);
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::CommunicationE2eTest)
#include "communication_e2e_test.moc"
