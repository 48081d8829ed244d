// The technical intervention window offscreen: its pages, groups and grids,
// the commands of each page and state, the terminal, tax and store rules
// with their messages, the page lock and Gravar without a table on the date
// page, the keyboard programmed through the key menu and shown again on
// opening, and the jobs "Lêr" and "Enviar" open with the date and hour typed.
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "common/testing/scripted_messages.h"
#include "common/ui/WindowRegistry.h"
#include "config/ui/TFItQ7300.h"
#include "config/ui/TerminalKeyboard.h"
#include "config/ui/config_window_testing.h"
#include "db/tables/ycoprm.h"
#include "db/tables/ycoter.h"
#include "db/tables/ycotey.h"
#include "db/temp_data_dir.h"
#include "common/ui/ModalHelper.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFLocaliza.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui {

using kaslo::testing::ScriptedMessages;
using namespace editor_test;
using namespace config_window_test;
using Texts = std::vector<std::string>;

namespace {

enum Page { kTerminais, kCliche, kTributacoes, kTeclado, kOpcoes, kR60 };

QStringList Enabled(QWidget& w) {
  QStringList on;
  for (const char* name :
       {"Incluir", "Alterar", "Excluir", "Cancelar", "Gravar", "Localizar", "Ler", "Enviar", "Sair"}) {
    if (Action(w, name)->isEnabled()) on << QString::fromLatin1(name);
  }
  return on;
}
KeyCap* Key(QWidget& w, int position) { return w.findChild<TerminalKeyboard*>()->Key(position); }
QAction* Function(QWidget& w, int code) {
  return w.findChild<QAction*>(QStringLiteral("Funcao%1").arg(code));
}
void ClickKey(QWidget& w, int position) { QTest::mouseClick(Key(w, position), Qt::LeftButton); }
void Choose(QWidget& w, int position, int code) {
  ClickKey(w, position);
  Function(w, code)->trigger();
}
std::pair<int, int> KeyOfFunction(const db::Database& db, int code) {
  auto tey = db.open(ycotey::kTable, {.tag = "Um", .exclusive = false});
  if (!tey->findKey(static_cast<double>(code))) return {-1, -1};
  return {static_cast<int>(tey->asInteger(ycotey::TEY_BOTON)), static_cast<int>(tey->asInteger(ycotey::TEY_NTECLA))};
}

// Stands in for the communication window: records what it was opened with.
struct CommunicationSpy {
  CommunicationSpy() {
    RegisterWindow("TFCargaTcp", [this](const OpenContext& context) { opened.push_back(context); });
  }
  ~CommunicationSpy() { UnregisterWindow("TFCargaTcp"); }
  std::vector<OpenContext> opened;
};

}  // namespace

class TFItQ7300Test : public QObject {
  Q_OBJECT

 private slots:
  void pagesGroupsAndGrids() {
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    QCOMPARE(w.windowTitle(), QStringLiteral("Configuração Técnica"));
    QStringList captions;
    for (int i = 0; i < Pages(w)->count(); ++i) captions << Pages(w)->tabText(i);
    QCOMPARE(captions, (QStringList{QStringLiteral("Terminais"), QStringLiteral("Dados da loja (Cliche)"),
                                    QStringLiteral("Tributações"), QStringLiteral("Teclado"),
                                    QStringLiteral("Opções Complementares"), QStringLiteral("Dados da Loja (R60)")}));
    QCOMPARE(Pages(w)->currentIndex(), 0);
    QCOMPARE(Group(w, "GroupGridTerminais")->title(), QStringLiteral("RW5020   -   Terminais  "));
    QCOMPARE(Group(w, "GroupTerminal")->title(), QStringLiteral("  QZV 7300   -   Dados do Terminal  "));
    QCOMPARE(Group(w, "GroupCliche")->title(), QStringLiteral("  Dados do Cliente  "));
    QCOMPARE(Group(w, "GroupGridTributacoes")->title(), QStringLiteral("  Tributações  Cadastradas  "));
    QCOMPARE(Group(w, "GroupTributacao")->title(), QStringLiteral("  Tributação"));
    QCOMPARE(Group(w, "GroupTeclado")->title(), QStringLiteral("  Teclado QZV 7300  "));
    QCOMPARE(Group(w, "GroupDataHora")->title(), QStringLiteral("  Data  && Horário  "));
    QCOMPARE(Group(w, "GroupR60")->title(), QStringLiteral("  Dados do Cliente  "));
    QCOMPARE(Group(w, "GroupTotalTerminais")->title(), QStringLiteral("  Total de Terminais Cadastrados  "));
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblTerminais"))->text(), QStringLiteral("03 - Terminais"));
    QCOMPARE(Action(w, "Ler")->toolTip(), QStringLiteral("Lêr"));
    QCOMPARE(Action(w, "Ler")->statusTip(), QStringLiteral("Leitura do cadastro da máquina"));
    QCOMPARE(Action(w, "Enviar")->statusTip(), QStringLiteral("Enviar cadastro para a máquina"));

    auto* terminals = w.findChild<QTableView*>(QStringLiteral("GridTerminais"));
    QCOMPARE(terminals->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nº do Terminal"));
    QCOMPARE(terminals->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("End.IP."));
    QCOMPARE(CellText(terminals, 2, 1), QStringLiteral("127.0.0.3"));
    auto* taxes = w.findChild<QTableView*>(QStringLiteral("GridTributacoes"));
    QCOMPARE(CellText(taxes, 0, 0), QStringLiteral("01"));
    QCOMPARE(CellText(taxes, 5, 1), QStringLiteral("ISENTO"));
    // the key column painted; entering the other column orders by it
    QCOMPARE(taxes->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(225, 247, 255));
    QVERIFY(!taxes->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>().isValid());
    ClickTab(w, kTributacoes);
    ClickCell(taxes, 0, 1);
    QCOMPARE(CellText(taxes, 0, 1), QStringLiteral("ICMS 12%"));
    ClickCell(taxes, 0, 1);
    QCOMPARE(taxes->model()->index(0, 1).data(Qt::BackgroundRole).value<QColor>(), QColor(225, 247, 255));
    QCOMPARE(Edit(w, "TRB_DESCR")->text(), QStringLiteral("ICMS 12%"));
    QCOMPARE(Edit(w, "TRB_PERCEN")->text(), QStringLiteral("12.00"));
    ClickCell(taxes, 0, 0);
    QCOMPARE(CellText(taxes, 0, 1), QStringLiteral("ICMS 18%"));
  }

  void commandsFollowThePageAndTheState() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    const QStringList expected[] = {
        {"Incluir", "Alterar", "Excluir", "Localizar", "Sair"},
        {"Alterar", "Ler", "Enviar", "Sair"},
        {"Incluir", "Alterar", "Excluir", "Localizar", "Sair"},
        {"Ler", "Enviar", "Sair"},
        {"Alterar", "Ler", "Enviar", "Sair"},
        {"Alterar", "Sair"},
    };
    const char* first_fields[] = {"ESTACAO", "PRM_RAZAOS", "TRB_CODIGO", nullptr, "edtData", "PRM_CNPJ"};
    for (int page = 0; page < 6; ++page) {
      ClickTab(w, page);
      QCOMPARE(Pages(w)->currentIndex(), page);
      QCOMPARE(Enabled(w), expected[page]);
      if (!first_fields[page]) continue;
      Action(w, "Alterar")->trigger();
      QCOMPARE(Enabled(w), (QStringList{"Cancelar", "Gravar"}));
      QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, first_fields[page])));
      // the other pages cannot be chosen while editing
      ClickTab(w, (page + 1) % 6);
      QCOMPARE(Pages(w)->currentIndex(), page);
      Action(w, "Cancelar")->trigger();
      QCOMPARE(Enabled(w), expected[page]);
    }
    QVERIFY(messages.texts().empty());
  }

  void aNewTerminalNeedsAFreeNumberAndAddress() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    Action(w, "Incluir")->trigger();
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "ESTACAO")));
    Action(w, "Gravar")->trigger();
    Type(w, "ESTACAO", QStringLiteral("2"));
    Action(w, "Gravar")->trigger();
    Type(w, "TER_ECFSER", QStringLiteral("10.0.0.4"));
    Action(w, "Gravar")->trigger();
    Type(w, "TER_ECFNO", QStringLiteral("730004"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "ESTACAO")));
    Type(w, "ESTACAO", QStringLiteral("4"));
    Type(w, "TER_ECFSER", QStringLiteral("127.0.0.1"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (Texts{"Nº de Terminal inválido !", "End.IP inválido !", "Nº de Série do Ecf inválido !",
                                      "Nº de Terminal já existente !", "End. IP já existente !"}));
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "TER_ECFSER")));
    QVERIFY(Action(w, "Gravar")->isEnabled());
    Type(w, "TER_ECFSER", QStringLiteral("10.0.0.4"));
    // Enter moves on along the fields
    QTest::keyClick(Edit(w, "TER_ECFSER"), Qt::Key_Return);
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "TER_ECFNO")));
    Action(w, "Gravar")->trigger();
    QVERIFY(Action(w, "Incluir")->isEnabled());
    QCOMPARE(dir.db().open(ycoter::kTable)->recordCount(), size_t{4});
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblTerminais"))->text(), QStringLiteral("04 - Terminais"));
    QCOMPARE(w.findChild<QTableView*>(QStringLiteral("GridTerminais"))->model()->rowCount(), 4);

    // an existing terminal keeps its own number but cannot take another's
    messages.Clear();
    Action(w, "Alterar")->trigger();
    Type(w, "ESTACAO", QStringLiteral("1"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), Texts{"Nº de Terminal já existente !"});
    Action(w, "Cancelar")->trigger();
    QCOMPARE(Edit(w, "ESTACAO")->text(), QStringLiteral("4"));

    // Excluir asks first; No keeps the row
    messages.Clear();
    Action(w, "Excluir")->trigger();
    QCOMPARE(dir.db().open(ycoter::kTable)->recordCount(), size_t{4});
    messages.QueueConfirm(true);
    Action(w, "Excluir")->trigger();
    QCOMPARE(messages.texts(), (Texts{"Confirma a exclusão deste registro ?", "Confirma a exclusão deste registro ?"}));
    QCOMPARE(messages.messages()[0].default_answer, DefaultAnswer::kNo);
    QCOMPARE(dir.db().open(ycoter::kTable)->recordCount(), size_t{3});
    QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblTerminais"))->text(), QStringLiteral("03 - Terminais"));
  }

  void fixedTaxCodesAndTheTaxRules() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, kTributacoes);
    auto* taxes = w.findChild<QTableView*>(QStringLiteral("GridTributacoes"));
    ClickCell(taxes, 5, 0);
    QCOMPARE(Edit(w, "TRB_CODIGO")->text(), QStringLiteral("15"));
    Action(w, "Alterar")->trigger();
    QCOMPARE(messages.texts(), Texts{"Não é possível editar Tributação Fixa !"});
    QVERIFY(Action(w, "Alterar")->isEnabled());

    messages.Clear();
    Action(w, "Incluir")->trigger();
    Type(w, "TRB_CODIGO", QStringLiteral("17"));
    Type(w, "TRB_DESCR", QStringLiteral("ICMS 25%"));
    Type(w, "TRB_LEGEND", QStringLiteral("T25"));
    Action(w, "Gravar")->trigger();
    Type(w, "TRB_CODIGO", QStringLiteral("3"));
    Action(w, "Gravar")->trigger();
    Type(w, "TRB_CODIGO", QStringLiteral("5"));
    Type(w, "TRB_LEGEND", QStringLiteral("T18"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (Texts{"Código da Tributação inválido !", "Cód. de Tributação repetido !",
                                      "Legenda de Tributação repetida !"}));
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "TRB_LEGEND")));
    Type(w, "TRB_LEGEND", QStringLiteral("T25"));
    Type(w, "TRB_PERCEN", QStringLiteral("25"));
    // Enter in "Percentual:" saves
    QTest::keyClick(Edit(w, "TRB_PERCEN"), Qt::Key_Return);
    QVERIFY(Action(w, "Incluir")->isEnabled());
    QCOMPARE(taxes->model()->rowCount(), 8);
    QCOMPARE(CellText(taxes, 4, 0), QStringLiteral("05"));
  }

  void storeDataRulesAndTheCnpjCheck() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, kR60);
    Action(w, "Alterar")->trigger();
    Type(w, "PRM_CNPJ", QStringLiteral("11222333000182"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), Texts{"CNPJ inválido !"});
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_CNPJ")));
    Type(w, "PRM_CNPJ", QStringLiteral("11222333000181"));
    Type(w, "PRM_MUNICI", QStringLiteral(" "));
    Type(w, "PRM_FONE", QStringLiteral("0"));
    Action(w, "Gravar")->trigger();
    Type(w, "PRM_MUNICI", QStringLiteral("CAMPINAS"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (Texts{"CNPJ inválido !", "Municipio inválido !", "Fone inválido !"}));
    Type(w, "PRM_FONE", QStringLiteral("32221000"));
    Type(w, "R60_Q40_ADIC2", QStringLiteral("ATE LOGO"));
    QTest::keyClick(Edit(w, "R60_Q40_ADIC2"), Qt::Key_Return);  // Enter in "Adicional [ 2 ]:" saves
    QVERIFY(Action(w, "Alterar")->isEnabled());
    auto prm = dir.db().open(ycoprm::kTable);
    QCOMPARE(prm->asNumber(ycoprm::PRM_CNPJ), 11222333000181.0);
    QCOMPARE(prm->getString(ycoprm::PRM_MUNICI), std::string("CAMPINAS"));
    // the header page shows the same row
    QCOMPARE(Edit(w, "Q40_ADIC2")->text(), QStringLiteral("ATE LOGO"));

    // the header page: its rules, and the centring written into both fields
    messages.Clear();
    ClickTab(w, kCliche);
    Action(w, "Alterar")->trigger();
    QCOMPARE(Focused(), static_cast<QWidget*>(Edit(w, "PRM_RAZAOS")));
    Type(w, "PRM_RAZAOS", QStringLiteral(" "));
    Action(w, "Gravar")->trigger();
    Type(w, "PRM_RAZAOS", QStringLiteral("MERCADO NOVO"));
    Type(w, "PRM_ENDERE", QStringLiteral(" "));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (Texts{"Razão Social inválida !", "Endereço inválido !"}));
    Type(w, "PRM_ENDERE", QStringLiteral("RUA B, 2"));
    w.findChild<TDBComboQuelbrix*>(QStringLiteral("CEN2"))->Choose(QStringLiteral("N"));
    QTest::keyClick(w.findChild<TDBComboQuelbrix*>(QStringLiteral("CEN4")), Qt::Key_Return);
    QVERIFY(Action(w, "Alterar")->isEnabled());
    prm = dir.db().open(ycoprm::kTable);
    QCOMPARE(prm->getString(ycoprm::PRM_RAZAOS), std::string("MERCADO NOVO"));
    QCOMPARE(prm->getString(ycoprm::Q40_CAMCE1), std::string("N"));
    QCOMPARE(prm->getString(ycoprm::Q40_CEN2), std::string("N"));
  }

  void theKeyboardIsProgrammedThroughTheKeyMenu() {
    ScriptedMessages messages;
    db::testing::TempDataDir dir({.demo = true});
    {
      TFItQ7300 w(nullptr, dir.path());
      ShowActive(w);
      ClickTab(w, kTeclado);
      QVERIFY(Function(w, 905)->isEnabled());
      ClickKey(w, 3);
      QMenu* menu = w.KeyMenu();
      QVERIFY(menu->isVisible());
      QCOMPARE(w.KeyMenuPoint(Key(w, 3)).x(), Key(w, 3)->mapToGlobal(QPoint(0, 0)).x() - 30);
      QCOMPARE(w.KeyMenuPoint(Key(w, 3)).y(), w.frameGeometry().top() + Key(w, 3)->y() + w.height() / 2);
      QCOMPARE(Function(w, 905)->text(), QStringLiteral("[ D05 ] - DEPTO 05"));
      Function(w, 905)->trigger();
      QVERIFY(!menu->isVisible());
      QCOMPARE(Key(w, 3)->text(), QStringLiteral("D05"));
      QCOMPARE(Key(w, 3)->toolTip(), QStringLiteral("  Função: DEPTO 05\nEtiqueta: DEPTO 05"));
      QVERIFY(!Function(w, 905)->isEnabled());
      QCOMPARE(KeyOfFunction(dir.db(), 905), (std::pair{3, 905}));

      // a key that shows a legend takes no second function
      Choose(w, 3, 12);
      QCOMPARE(Key(w, 3)->text(), QStringLiteral("D05"));
      QCOMPARE(KeyOfFunction(dir.db(), 12), (std::pair{0, 0}));
      QVERIFY(Function(w, 12)->isEnabled());

      // "Desativar Tecla" frees the key and its function
      ClickKey(w, 3);
      w.findChild<QAction*>(QStringLiteral("DesativarTecla"))->trigger();
      QCOMPARE(Key(w, 3)->text(), QString());
      QVERIFY(Function(w, 905)->isEnabled());
      QCOMPARE(KeyOfFunction(dir.db(), 905), (std::pair{0, 0}));

      Choose(w, 24, 864);
      QCOMPARE(Function(w, 864)->text(), QStringLiteral("[ G64 ] - PLU 64"));
      QCOMPARE(KeyOfFunction(dir.db(), 864), (std::pair{24, 864}));
      Choose(w, 1, 22);
      QCOMPARE(Key(w, 1)->text(), QStringLiteral("."));
      // the card is listed, but does nothing
      Choose(w, 2, 5);
      QCOMPARE(Key(w, 2)->text(), QString());
      QCOMPARE(KeyOfFunction(dir.db(), 5), (std::pair{0, 0}));

      QTest::mouseClick(w.findChild<KeyCap*>(QStringLiteral("TeclaENTER")), Qt::LeftButton);
      QTest::mouseClick(w.findChild<KeyCap*>(QStringLiteral("TeclaBranca2")), Qt::LeftButton);
      QTest::mouseClick(w.findChild<KeyCap*>(QStringLiteral("TeclaDigito7")), Qt::LeftButton);
      QVERIFY(!menu->isVisible());
      QCOMPARE(messages.texts(), Texts(3, "Esta tecla não pode ser reprogramada !"));
    }
    // a function missing from the table is said, and nothing is written
    {
      auto tey = dir.db().open(ycotey::kTable, {.tag = "Um", .exclusive = false});
      QVERIFY(tey->findKey(43.0));
      QVERIFY(tey->remove());
    }
    messages.Clear();
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, kTeclado);
    // what is stored shows on opening
    QCOMPARE(Key(w, 24)->text(), QStringLiteral("G64"));
    QCOMPARE(Key(w, 24)->toolTip(), QStringLiteral("  Função: PLU 64\nEtiqueta: PLU 64"));
    QCOMPARE(Key(w, 1)->text(), QStringLiteral("."));
    QVERIFY(!Function(w, 864)->isEnabled() && !Function(w, 22)->isEnabled());
    QVERIFY(Function(w, 905)->isEnabled());
    Choose(w, 5, 43);
    QCOMPARE(messages.texts(), Texts{"Função [ CUP ] - Avança Cupom não cadastrada !"});
    QCOMPARE(Key(w, 5)->text(), QString());
  }

  void theDateAndHourAreEditedAndSentWithoutATable() {
    ScriptedMessages messages;
    CommunicationSpy communication;
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, kOpcoes);
    QLineEdit* date = Edit(w, "edtData");
    QLineEdit* hour = Edit(w, "edtHora");
    QCOMPARE(date->text(), QDate::currentDate().toString(QStringLiteral("dd/MM/yyyy")));
    QVERIFY(!date->isEnabled());
    Action(w, "Alterar")->trigger();
    QVERIFY(date->isEnabled() && hour->isEnabled());
    QCOMPARE(Focused(), static_cast<QWidget*>(date));
    Type(w, "edtData", QStringLiteral("07032026"));
    Type(w, "edtHora", QStringLiteral("0905"));
    Action(w, "Cancelar")->trigger();
    QVERIFY(date->text() != QStringLiteral("07/03/2026"));
    Action(w, "Alterar")->trigger();
    Type(w, "edtData", QStringLiteral("07032026"));
    Type(w, "edtHora", QStringLiteral("0905"));
    QTest::keyClick(hour, Qt::Key_Return);  // Gravar: nothing to write
    QVERIFY(!date->isEnabled());
    QCOMPARE(date->text(), QStringLiteral("07/03/2026"));
    Action(w, "Enviar")->trigger();
    QCOMPARE(communication.opened.size(), size_t{1});
    QCOMPARE(communication.opened[0].tag, 191);
    QVERIFY(communication.opened[0].date_time);
    QCOMPARE(communication.opened[0].date_time->date, std::chrono::year{2026} / 3 / 7);
    QCOMPARE(communication.opened[0].date_time->hour, 9);
    QCOMPARE(communication.opened[0].date_time->minute, 5);

    // a box that holds no date or hour is named, and the edit goes on
    Action(w, "Alterar")->trigger();
    Type(w, "edtData", QStringLiteral("31022026"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Focused(), static_cast<QWidget*>(date));
    Type(w, "edtData", QStringLiteral("28022026"));
    Type(w, "edtHora", QStringLiteral("2460"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(messages.texts(), (Texts{"Data inválida !", "Hora inválida !"}));
    QCOMPARE(Focused(), static_cast<QWidget*>(hour));
    QVERIFY(Action(w, "Cancelar")->isEnabled());
    Action(w, "Cancelar")->trigger();
    QCOMPARE(date->text(), QStringLiteral("07/03/2026"));
    QCOMPARE(hour->text(), QStringLiteral("09:05"));
    QCOMPARE(communication.opened.size(), size_t{1});

    // "Lêr" and "Enviar" of the other pages
    for (const auto& [page, read, send] : {std::tuple{kCliche, 24, 241}, std::tuple{kTeclado, 21, 211},
                                           std::tuple{kOpcoes, 19, 191}}) {
      ClickTab(w, page);
      communication.opened.clear();
      Action(w, "Ler")->trigger();
      if (page != kOpcoes) Action(w, "Enviar")->trigger();
      QCOMPARE(communication.opened.size(), page != kOpcoes ? size_t{2} : size_t{1});
      QCOMPARE(communication.opened[0].tag, read);
      QVERIFY(!communication.opened[0].date_time);
      if (page != kOpcoes) QCOMPARE(communication.opened[1].tag, send);
    }
  }

  void localizarFindsInTheGridOfThePage() {
    db::testing::TempDataDir dir({.demo = true});
    TFItQ7300 w(nullptr, dir.path());
    ShowActive(w);
    ClickTab(w, kTributacoes);
    auto* taxes = w.findChild<QTableView*>(QStringLiteral("GridTributacoes"));
    ClickCell(taxes, 0, 1);  // ordered by description
    bool found = false;
    WhenModal([&](QWidget* d) {
      if (auto* find = qobject_cast<TFLocaliza*>(d)) {
        found = true;
        QTest::keyClicks(find->findChild<QLineEdit*>(), QStringLiteral("ISE"));
      }
      d->close();
    });
    Action(w, "Localizar")->trigger();
    QVERIFY(found);
    QCOMPARE(Edit(w, "TRB_DESCR")->text(), QStringLiteral("ISENTO"));
    QCOMPARE(CellText(taxes, taxes->currentIndex().row(), 1), QStringLiteral("ISENTO"));
    ClickTab(w, kTeclado);
    QVERIFY(!Action(w, "Localizar")->isEnabled());
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFItQ7300Test)
#include "TFItQ7300_test.moc"
