// "Lêr" and "Enviar" of the terminal options window, end to end offscreen:
// the communication window that each page opens serves kaslo-terminal over
// loopback. A store without payment types reads them from the terminal and
// replaces them through the register viewer; then every page saves a change
// and sends it, and the terminal receives the load bytes of what was saved.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

#include "comm/load_files.h"
#include "comm/ui/terminal_session_testing.h"
#include "common/ui/ModalHelper.h"
#include "config/ui/TFConfQ4000.h"
#include "config/ui/config_window_e2e_testing.h"
#include "config/ui/config_window_testing.h"
#include "db/install.h"
#include "db/tables/ycoq40.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/editor_test_support.h"
#include "viewers/payment_types_testing.h"
#include "viewers/ui/TFTcpViewCad.h"
#include "viewers/ui/viewer_test_support.h"

namespace kaslo::ui {

using namespace terminal_session;
using namespace editor_test;
using namespace config_window_test;
using kaslo::testing::RecordingProgress;
using Texts = std::vector<std::string>;

namespace {


}  // namespace

class TFConfQ4000E2eTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;
  int case_ = 0;

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }
  void init() {
    dir_ = fs::temp_directory_path() /
           ("kaslo_options_e2e_" + std::to_string(QCoreApplication::applicationPid()) + "_" + std::to_string(++case_));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() { fs::remove_all(dir_); }

  void aStoreWithoutPaymentTypesReadsThem() {
    ScriptedMessages messages;
    RecordingProgress progress;
    const db::Database db(dir_);
    Keep(db, ycoq40::kTable, 0, [](db::Table&, int) {});
    TFConfQ4000 w(nullptr, dir_);
    ShowActive(w);
    QVERIFY(!Action(w, "Alterar")->isEnabled());

    bool replaced = false;
    const int tag = Communicate(
        w, "Ler", messages, dir_,
        {{"Sfinaliz.dad", "DINHEIRO       CHEQUE         "}, {"Scfgfinal.dad", "00150SS1S00300NN2S"}},
        [&](TFCargaTcp& window) {
          QVERIFY(!Action(w, "Ler")->isEnabled() && !Action(w, "Enviar")->isEnabled());
          replaced = viewer_test::OnViewer([&] { Click(window, "btnVisualizar"); },
                                           [&](TFTcpViewCad& v) {
                                             messages.QueueConfirm(true);
                                             QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("BtnSub")),
                                                               Qt::LeftButton);
                                           });
        });
    QCOMPARE(tag, 12);
    QVERIFY(replaced);
    QVERIFY(progress.Saw("Aguarde, verificando estações..."));
    QVERIFY(!progress.visible());
    QCOMPARE(messages.texts(),
             (Texts{"Confirma  [ Leitura de Configuração de Finalizadoras ]\rdos terminais selecionados ?",
                    "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?",
                    viewer_test::CompletaWithBackup(dir_, "substituicao-ycoq40")}));
    // the refresh shows them at once, and they may be changed
    auto* grid = w.findChild<QTableView*>("Grid");
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(CellText(grid, 1, 1), QStringLiteral("CHEQUE"));
    QCOMPARE(Edit(w, "Q40_DESCR")->text(), QStringLiteral("DINHEIRO"));
    QVERIFY(Action(w, "Alterar")->isEnabled() && Action(w, "Enviar")->isEnabled() && Action(w, "Ler")->isEnabled());
    Action(w, "Alterar")->trigger();
    Type(w, "Q40_LIMITE", QStringLiteral("99"));
    Action(w, "Gravar")->trigger();
    const auto rows = viewers::testing::PaymentTypeRows(db);
    QCOMPARE(rows.size(), size_t{2});
    QCOMPARE(std::get<6>(rows[0]), 99.0);
  }

  void everyPageSendsWhatItSaved() {
    ScriptedMessages messages;
    const db::Database db(dir_);
    TFConfQ4000 w(nullptr, dir_);
    ShowActive(w);

    // Finalizadoras: 121, the names and the configurations.
    Action(w, "Alterar")->trigger();
    Type(w, "Q40_LIMITE", QStringLiteral("321.5"));
    Combo(w, "Q40_TROCO")->Choose(QStringLiteral("N"));
    Combo(w, "Q40_TIPO")->Choose(QStringLiteral("2"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 121);
    const auto first = viewers::testing::PaymentTypeRows(db).front();
    comm::PaymentValues sent{.description = std::get<1>(first), .limit = 321.5, .change = "N",
                             .drawer = std::get<4>(first), .type = "2", .voucher = std::get<5>(first)};
    const std::string config = Received(dir_, "Rcfgfinal.dad");
    QCOMPARE(config, comm::PaymentConfigFile(db));
    QCOMPARE(config.substr(0, comm::kPaymentConfigRecordSize), comm::PaymentConfigRecord(sent));
    QCOMPARE(Received(dir_, "Rfinaliz.dad").substr(0, comm::kPaymentNameRecordSize), comm::PaymentNameRecord(sent));

    // Parâmetros Diversos and Periféricos: both 131.
    ClickTab(w, 1);
    Action(w, "Alterar")->trigger();
    Combo(w, "Q40_ZERO")->Choose(QStringLiteral("N"));
    Combo(w, "Q40_VIASC")->Choose(QStringLiteral("2"));
    Action(w, "Gravar")->trigger();
    ClickTab(w, 2);
    Action(w, "Alterar")->trigger();
    Combo(w, "YCF_BALANC")->Choose(QString());
    Combo(w, "YCF_GAVPRE")->Choose(QStringLiteral("3"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 131);
    QCOMPARE(Received(dir_, "Rperif.dad"), comm::PeripheralsFile(db));
    QCOMPARE(Received(dir_, "Rcodbarra.dad"), comm::BarCodeOptionsFile(db));
    QCOMPARE(Received(dir_, "Rflags.dad"), comm::FlagsFile(db));
    ClickTab(w, 1);
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 131);

    // Desconto & Acréscimo: 141, four groups of type, rate and "may alter".
    ClickTab(w, 3);
    Action(w, "Alterar")->trigger();
    Combo(w, "YCF_DSTIPO")->Choose(QStringLiteral("P"));
    Type(w, "YCF_DSPER", QStringLiteral("12.5"));
    Combo(w, "YCF_DSALT")->Choose(QStringLiteral("N"));
    Combo(w, "YCF_AITIPO")->Choose(QStringLiteral("V"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 141);
    const std::string discounts = Received(dir_, "Rdescacr.dad");
    QCOMPARE(discounts, comm::DiscountsFile(db));
    QCOMPARE(discounts.size(), comm::kDiscountRecordSize);
    QCOMPARE(discounts.substr(0, 6), std::string("P1250N"));
    QCOMPARE(discounts.substr(18, 1), std::string("V"));

    // Mensagem: 151, the centring choice of the second line.
    ClickTab(w, 4);
    Action(w, "Alterar")->trigger();
    Type(w, "YCF_MSG2", QStringLiteral("VOLTE SEMPRE"));
    Combo(w, "YCF_EXPA2")->Choose(QStringLiteral("N"));
    Combo(w, "CEN2")->Choose(QStringLiteral("S"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 151);
    const std::string footer = Received(dir_, "Rfooter.dad");
    QCOMPARE(footer, comm::FooterFile(db));
    QCOMPARE(footer.substr(44, 44), std::string(15, ' ') + "VOLTE SEMPRE" + std::string(15, ' ') + "NS");
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFConfQ4000E2eTest)
#include "TFConfQ4000_e2e_test.moc"
