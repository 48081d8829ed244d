// "Lêr" and "Enviar" of the technical intervention window, end to end
// offscreen: the communication window that each page opens serves
// kaslo-terminal over loopback. The keyboard programmed through the key menu
// goes out with job 211, the date and hour typed with job 191, the receipt
// header saved with job 241; a keyboard reading (21) replaced through the
// register viewer shows on the keys.
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>
#include <optional>

#include "comm/load_files.h"
#include "comm/ui/terminal_session_testing.h"
#include "common/ui/ModalHelper.h"
#include "config/ui/TFItQ7300.h"
#include "config/ui/TerminalKeyboard.h"
#include "config/ui/config_window_e2e_testing.h"
#include "config/ui/config_window_testing.h"
#include "db/temp_data_dir.h"
#include "registers/ui/editor_test_support.h"
#include "viewers/ui/TFTcpViewCad.h"
#include "viewers/ui/viewer_test_support.h"

namespace kaslo::ui {

using namespace terminal_session;
using namespace editor_test;
using namespace config_window_test;
using Texts = std::vector<std::string>;

namespace {

enum Page { kTerminais, kCliche, kTributacoes, kTeclado, kOpcoes, kR60 };

KeyCap* Key(QWidget& w, int position) { return w.findChild<TerminalKeyboard*>()->Key(position); }
void Choose(QWidget& w, int position, int code) {
  QTest::mouseClick(Key(w, position), Qt::LeftButton);
  w.findChild<QAction*>(QStringLiteral("Funcao%1").arg(code))->trigger();
}
// 26 keys of six characters; `keys` by position.
std::string KeyboardRecord(const std::map<int, std::string>& keys) {
  std::string record;
  for (int position = 1; position <= 26; ++position) {
    const auto it = keys.find(position);
    record += it == keys.end() ? "000000" : it->second;
  }
  return record;
}

}  // namespace

class TFItQ7300E2eTest : public QObject {
  Q_OBJECT

 private:
  std::optional<db::testing::TempDataDir> data_;
  fs::path dir_;

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }
  void init() {
    data_.emplace(db::InstallOptions{.demo = true});
    dir_ = data_->path();
  }
  void cleanup() { data_.reset(); }

  void theProgrammedKeyboardTheDateAndTheHeaderGoOut() {
    ScriptedMessages messages;
    const db::Database db(dir_);
    TFItQ7300 w(nullptr, dir_);
    ShowActive(w);

    ClickTab(w, kTeclado);
    Choose(w, 3, 905);   // [ D05 ] - DEPTO 05
    Choose(w, 24, 864);  // [ G64 ] - PLU 64
    Choose(w, 1, 22);    // [ . ] - Ponto
    Choose(w, 26, 12);   // [ ACR ] - Acréscimo
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 211);
    const std::string keyboard = Received(dir_, "Rteclado.dad");
    QCOMPARE(keyboard, KeyboardRecord({{1, "220000"}, {3, "280005"}, {24, "276400"}, {26, "120000"}}));
    QCOMPARE(keyboard.size(), size_t{156});

    ClickTab(w, kOpcoes);
    Action(w, "Alterar")->trigger();
    Type(w, "edtData", QStringLiteral("07032026"));
    Type(w, "edtHora", QStringLiteral("0905"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 191);
    QCOMPARE(Received(dir_, "Rdatahora.dad"), std::string("070320260905"));

    ClickTab(w, kCliche);
    Action(w, "Alterar")->trigger();
    Type(w, "PRM_RAZAOS", QStringLiteral("MERCADO DO ZÉ"));
    Action(w, "Gravar")->trigger();
    QCOMPARE(Communicate(w, "Enviar", messages, dir_, {}), 241);
    const std::string header = Received(dir_, "Rheader.dad");
    QCOMPARE(header, comm::HeaderFile(db));
    QVERIFY(header.find("MERCADO DO Z\xC9") != std::string::npos);
  }

  void aKeyboardReadingReplacedShowsOnTheKeys() {
    ScriptedMessages messages;
    TFItQ7300 w(nullptr, dir_);
    ShowActive(w);
    ClickTab(w, kTeclado);
    Choose(w, 5, 3);  // programmed here, gone after the terminal's layout replaces it
    QCOMPARE(Key(w, 5)->text(), QStringLiteral("DIN"));

    bool replaced = false;
    const std::string reading = KeyboardRecord({{1, "280005"}, {2, "276400"}, {4, "120000"}});
    const int tag = Communicate(w, "Ler", messages, dir_, {{"Steclado.dad", reading}}, [&](TFCargaTcp& window) {
      replaced = viewer_test::OnViewer([&] { Click(window, "btnVisualizar"); },
                                       [&](TFTcpViewCad& v) {
                                         messages.QueueConfirm(true);
                                         QTest::mouseClick(v.findChild<QPushButton*>(QStringLiteral("BtnSub")),
                                                           Qt::LeftButton);
                                       });
    });
    QCOMPARE(tag, 21);
    QVERIFY(replaced);
    QCOMPARE(messages.texts(),
             (Texts{"Confirma  [ Leitura de Layout de Teclado ]\rdos terminais selecionados ?",
                    "Confirma substituir todos os dados do Cadastro, pelos dados selecionados ?",
                    viewer_test::CompletaWithBackup(dir_, "substituicao-ycotey")}));
    QCOMPARE(Key(w, 1)->text(), QStringLiteral("D05"));
    QCOMPARE(Key(w, 1)->toolTip(), QStringLiteral("  Função: DEPTO 05\nEtiqueta: DEPTO 05"));
    QCOMPARE(Key(w, 2)->text(), QStringLiteral("G64"));
    QCOMPARE(Key(w, 4)->text(), QStringLiteral("ACR"));
    QCOMPARE(Key(w, 5)->text(), QString());
    QVERIFY(!w.findChild<QAction*>(QStringLiteral("Funcao905"))->isEnabled());
    QVERIFY(w.findChild<QAction*>(QStringLiteral("Funcao3"))->isEnabled());
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFItQ7300E2eTest)
#include "TFItQ7300_e2e_test.moc"
