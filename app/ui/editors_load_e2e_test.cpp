// Master data made in the editors reaches a terminal: from the main menu a
// client, an operator and a seller are typed into their windows, then the
// loads "Clientes ", "Operadores" and "Vendedores" of the same menu serve
// them to kaslo-terminal over loopback, and what the terminal receives is
// compared byte for byte with the load layouts, written out here.
#include <QAction>
#include <QLineEdit>
#include <QtTest>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/ui/TFMenu.h"
#include "comm/ui/terminal_session_testing.h"
#include "common/numbers.h"
#include "common/ui/ModalHelper.h"
#include "db/database.h"
#include "db/install.h"
#include "db/tables/ycocli.h"
#include "db/tables/ycoope.h"
#include "db/tables/ycoven.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFCadCli.h"
#include "registers/ui/TFCadOper.h"
#include "registers/ui/TFCadVend.h"

namespace kaslo::ui {

using namespace terminal_session;

namespace {

std::string Padded(std::string text, size_t width) {
  text.resize(width, ' ');
  return text;
}

std::string Digits(double value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%0*.0f", width, value);
  return buffer;
}

QWidget* Focused() { return QApplication::focusWidget(); }

// Runs `type` on the editor that the menu item opens, then leaves it with
// Sair. False when no such window opened.
template <class Editor>
bool InEditor(TFMenu& menu, const char* item, const std::function<void(Editor&)>& type) {
  bool typed = false;
  WhenModal(
      [&](QWidget* w) {
        if (auto* editor = qobject_cast<Editor*>(w); editor && QTest::qWaitForWindowActive(editor)) {
          type(*editor);
          typed = true;
        }
        if (auto* sair = w->findChild<QAction*>(QStringLiteral("Sair")); sair && sair->isEnabled()) sair->trigger();
        if (w->isVisible()) w->close();
      },
      kLongWaitMs);
  menu.findChild<QAction*>(QString::fromLatin1(item))->trigger();
  return typed;
}

void Enter(const QString& text = {}) {
  // The focus reaches the field the editor chose once its window is active,
  // which a slow machine may see after the command that set it.
  QTRY_VERIFY(Focused() != nullptr);
  if (!text.isEmpty()) QTest::keyClicks(Focused(), text);
  QTest::keyClick(Focused(), Qt::Key_Return);
}

}  // namespace

class EditorsLoadE2eTest : public QObject {
  Q_OBJECT

 private:
  fs::path dir_;

  // Serves the load of a menu item to kaslo-terminal; the bytes it received
  // in `file`.
  std::string Load(TFMenu& menu, ScriptedMessages& messages, const char* item, const char* file) {
    bool served = false;
    WhenModal(
        [&](QWidget* w) {
          if (auto* window = qobject_cast<TFCargaTcp*>(w)) {
            QString out;
            ServeJob(*window, messages, dir_, {}, "4", By::kMouse, out);
            served = !QTest::currentTestFailed() && out.contains(QStringLiteral("127.0.0.1 received ") + file);
            CloseCommunication(*window);
          }
          if (w->isVisible()) w->close();
        },
        kLongWaitMs);
    menu.findChild<QAction*>(QString::fromLatin1(item))->trigger();
    if (!served) return "(not served)";
    return comm::testing::Slurp(dir_ / "terminal" / "in" / file);
  }

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void init() {
    dir_ = fs::temp_directory_path() / ("kaslo_editors_e2e_" + std::to_string(QCoreApplication::applicationPid()));
    fs::remove_all(dir_);
    db::InstallDataDirectory(dir_, {.demo = true});
  }
  void cleanup() { fs::remove_all(dir_); }

  void aClientAnOperatorAndASellerTypedInTheirWindowsReachTheTerminal() {
    ScriptedMessages messages;
    TFMenu menu(dir_);
    menu.show();
    QVERIFY(QTest::qWaitForWindowExposed(&menu));

    QVERIFY(InEditor<TFCadCli>(menu, "Menu129", [](TFCadCli& w) {
      w.findChild<QAction*>(QStringLiteral("Incluir"))->trigger();
      Enter("51");
      Enter("52998224725");
      w.findChild<TDBComboQuelbrix*>(QStringLiteral("CLI_STATUS"))->Choose(QStringLiteral("1"));
      Enter();
      Enter(QStringLiteral("MERCADO SÃO JOÃO"));
      Enter(QStringLiteral("RUA DAS FLORES 10"));
      Enter(QStringLiteral("SALA 2"));  // Enter in the complement saves
    }));
    QVERIFY(InEditor<TFCadOper>(menu, "Menu135", [](TFCadOper& w) {
      w.findChild<QAction*>(QStringLiteral("Incluir"))->trigger();
      Enter("21");
      Enter(QStringLiteral("JOSÉ REIS"));
      w.findChild<TDBComboQuelbrix*>(QStringLiteral("OPE_PERFIL"))->Choose(QStringLiteral("S"));
      Enter();
      Enter("42");
      for (const char* field : {"OPE_CITEM", "OPE_ASUBTO"})
        w.findChild<TDBComboQuelbrix*>(QString::fromLatin1(field))->Choose(QStringLiteral("S"));
      w.findChild<QAction*>(QStringLiteral("Gravar"))->trigger();
    }));
    QVERIFY(InEditor<TFCadVend>(menu, "Menu133", [](TFCadVend& w) {
      w.findChild<QAction*>(QStringLiteral("Incluir"))->trigger();
      Enter("7");
      Enter(QStringLiteral("MARIA APARECIDA SOUZA"));  // 21 letters: the box holds 20
    }));
    QVERIFY2(messages.texts().empty(), messages.texts().empty() ? "" : messages.texts().front().c_str());

    // Clients: 128 bytes each, code and CPF/CNPJ packed, in code order; the
    // new client is the last.
    const std::string clients = Load(menu, messages, "Menu093", "RClient.dad");
    const std::string client51 = CompactaBCD("0051" "00052998224725") + Padded("MERCADO S\xC3O JO\xC3O", 30) +
                                 Padded("RUA DAS FLORES 10", 40) + Padded("SALA 2", 40) + "1" + std::string(8, ' ');
    QCOMPARE(clients.size(), size_t{7 * 128});
    QCOMPARE(clients.substr(6 * 128), client51);
    std::string expected;
    auto cli = db::Database(dir_).open(ycocli::kTable, {.tag = "Um"});
    for (cli->first(); !cli->eof(); cli->next())
      expected += CompactaBCD(Digits(cli->asNumber(ycocli::CLI_CODIGO), 4) + Digits(cli->asNumber(ycocli::CLI_CNPJ), 14)) +
                  Padded(cli->getString(ycocli::CLI_NOME), 30) + Padded(cli->getString(ycocli::CLI_ENDER), 40) +
                  Padded(cli->getString(ycocli::CLI_COMPLE), 40) + cli->getString(ycocli::CLI_STATUS) + std::string(8, ' ');
    QCOMPARE(clients, expected);

    // Operators: 39 characters each; the twelve permissions, the profile, "NNN".
    const std::string operators = Load(menu, messages, "Menu122", "Ruser.dad");
    QCOMPARE(operators.size(), size_t{5 * 39});
    QCOMPARE(operators.substr(4 * 39), "0021" + Padded("JOS\xC9 REIS", 15) + "0042" + "NNSNNNNNNNNS" + "S" + "NNN");
    expected.clear();
    auto ope = db::Database(dir_).open(ycoope::kTable, {.tag = "Um"});
    for (ope->first(); !ope->eof(); ope->next()) {
      expected += Digits(ope->asNumber(ycoope::OPE_CODIGO), 4) + Padded(ope->getString(ycoope::OPE_NOME), 15) +
                  Digits(ope->asNumber(ycoope::OPE_SENHA), 4);
      for (const db::FieldDef& f : {ycoope::OPE_DITEM, ycoope::OPE_DSUBTO, ycoope::OPE_CITEM, ycoope::OPE_CCUPOM,
                                    ycoope::OPE_LEITX, ycoope::OPE_REDZ, ycoope::OPE_SANGRI, ycoope::OPE_FDCXA,
                                    ycoope::OPE_LIMITE, ycoope::OPE_RELATO, ycoope::OPE_AITEM, ycoope::OPE_ASUBTO,
                                    ycoope::OPE_PERFIL})
        expected += ope->getString(f);
      expected += "NNN";
    }
    QCOMPARE(operators, expected);

    // Sellers: 19 characters each, the name cut to 15.
    const std::string sellers = Load(menu, messages, "Menu118", "Rvend.dad");
    QCOMPARE(sellers.size(), size_t{5 * 19});
    QCOMPARE(sellers.substr(4 * 19), std::string("0007MARIA APARECIDA"));
    QCOMPARE(db::Database(dir_).open(ycoven::kTable)->recordCount(), size_t{5});
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::EditorsLoadE2eTest)
#include "editors_load_e2e_test.moc"
