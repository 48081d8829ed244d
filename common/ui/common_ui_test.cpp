// The shared window pieces: text conversion, the progress window, the
// message boxes behind kaslo::Messages() and engine errors inside commands.
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QProgressBar>
#include <QtTest>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "common/messages.h"
#include "common/progress.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/QtMessageService.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/TFIndexa.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"

namespace kaslo::ui {

using kaslo::testing::MessageKind;
using kaslo::testing::RecordingProgress;
using kaslo::testing::ScriptedMessages;

class CommonUiTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("kaslo_roza")); }

  void latin1CrossesOnceEachWay() {
    const std::string latin1 = "Tributa\xE7\xF5" "es";
    QString text = FromLatin1(latin1);
    QCOMPARE(text, QStringLiteral("Tributações"));
    QCOMPARE(ToLatin1(text), latin1);
    QCOMPARE(ToLatin1(QStringLiteral("5 €")), std::string("5 ?"));
    QCOMPARE(FromUtf8("Versão"), QStringLiteral("Versão"));
  }

  void progressWindowShowsAndHides() {
    TFIndexa indexa;
    kaslo::SetProgressPort(&indexa);
    MostraProgresso("Aguarde, Reindexando: Códigos de Barra");
    QVERIFY(indexa.isVisible());
    QCOMPARE(indexa.size(), QSize(456, 69));
    QVERIFY(indexa.windowFlags() & Qt::FramelessWindowHint);
    auto* panel = indexa.findChild<QLabel*>(QStringLiteral("m_ArqMdx"));
    QVERIFY(panel);
    QCOMPARE(panel->text(), QStringLiteral("Aguarde, Reindexando: Códigos de Barra"));
    QVERIFY(indexa.findChild<QProgressBar*>(QStringLiteral("PB")));
    FechaProgresso();
    QVERIFY(!indexa.isVisible());
    kaslo::SetProgressPort(nullptr);
  }

  void informationBoxShowsLinesAndAppTitle() {
    QtMessageService service;
    SeenBox seen;
    AnswerNextBox(QMessageBox::Ok, &seen);
    service.information("Diretório de dados não encontrado !\r/x/y");
    QVERIFY(seen.seen);
    QCOMPARE(seen.text, QStringLiteral("Diretório de dados não encontrado !\n/x/y"));
    QCOMPARE(seen.title, QStringLiteral("kaslo_roza"));
    QCOMPARE(seen.icon, QMessageBox::Information);
  }

  void confirmationsAnswerYesAndNo() {
    QtMessageService service;
    SeenBox seen;
    AnswerNextBox(QMessageBox::Yes, &seen);
    QVERIFY(service.confirm("a\r\nb\r\nc", "ATENÇÃO"));
    QCOMPARE(seen.text, QStringLiteral("a\nb\nc"));
    QCOMPARE(seen.title, QStringLiteral("ATENÇÃO"));
    QCOMPARE(seen.icon, QMessageBox::Critical);

    AnswerNextBox(QMessageBox::No, &seen);
    QVERIFY(!service.confirm("Confirma?"));
    QCOMPARE(seen.icon, QMessageBox::Question);
  }

  void questionButtonsArePortuguese() {
    QtMessageService service;
    QStringList buttons;
    WhenModal([&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      box->button(QMessageBox::No)->click();
    });
    QVERIFY(!service.confirm("Confirma?"));
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("&Não"), QStringLiteral("&Sim")}));

    QString cancel;
    WhenModal([&](QWidget* w) {
      for (auto* button : w->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("Cancelar")) cancel = button->text();
      qobject_cast<QDialog*>(w)->reject();
    });
    QVERIFY(!service.input("t", "p", "").has_value());
    QCOMPARE(cancel, QStringLiteral("Cancelar"));
  }

  // A question whose Yes destroys data answers No to Enter; the others Yes.
  void enterAnswersTheDefaultButton() {
    QtMessageService service;
    auto press_enter = [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); };
    WhenModal(press_enter);
    QVERIFY(!service.confirm("Confirma a exclusão deste registro ?", {}, kaslo::DefaultAnswer::kNo));
    WhenModal(press_enter);
    QVERIFY(!service.confirm("Apagar?", "ATENÇÃO", kaslo::DefaultAnswer::kNo));
    WhenModal(press_enter);
    QVERIFY(service.confirm("Confirma?"));
  }

  void inputDialogGivesTextOrCancel() {
    QtMessageService service;
    QString title, label;
    WhenModal([&](QWidget* w) {
      auto* dialog = qobject_cast<QInputDialog*>(w);
      QVERIFY(dialog);
      title = dialog->windowTitle();
      label = dialog->labelText();
      QCOMPARE(dialog->textValue(), QStringLiteral("12/2008"));
      dialog->setTextValue(QStringLiteral("03/2008"));
      dialog->accept();
    });
    auto answer = service.input("Digite o mês e ano (MM/AAAA)", "Prompt", "12/2008");
    QCOMPARE(title, QStringLiteral("Digite o mês e ano (MM/AAAA)"));
    QCOMPARE(label, QStringLiteral("Prompt"));
    QVERIFY(answer.has_value());
    QCOMPARE(*answer, std::string("03/2008"));

    WhenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    QVERIFY(!service.input("t", "p", "").has_value());
  }

  void engineErrorsStopTheCommandWithTheEnginesText() {
    ScriptedMessages messages;
    RecordingProgress progress;
    QVERIFY(!RunShowingEngineError([] {
      MostraProgresso("Aguarde, processando registro...");
      throw db::Error("YCOPRO.DBF: record 12 locked by another process");
    }));
    QVERIFY(!progress.visible());
    QCOMPARE(messages.messages().size(), size_t{1});
    QCOMPARE(messages.messages()[0].kind, MessageKind::kError);
    QCOMPARE(messages.messages()[0].text, std::string("YCOPRO.DBF: record 12 locked by another process"));
    QCOMPARE(messages.messages()[0].title, std::string());

    const std::filesystem::filesystem_error rename_failed(
        "rename", std::filesystem::path("ycopro.dbf"), std::filesystem::path("propro.dbf"),
        std::make_error_code(std::errc::permission_denied));
    messages.Clear();
    QVERIFY(!RunShowingEngineError([&] { throw rename_failed; }));
    QCOMPARE(messages.texts(), std::vector<std::string>{rename_failed.what()});
  }

  void aCommandWithoutErrorShowsNothing() {
    ScriptedMessages messages;
    RecordingProgress progress;
    int runs = 0;
    bool boxed = false;
    QVERIFY(RunShowingEngineError([&] { ++runs; }, [&] { boxed = true; }));
    QCOMPARE(runs, 1);
    QVERIFY(!boxed);
    QVERIFY(messages.messages().empty());
    QCOMPARE(progress.hides(), 0);
  }

  void theWindowIsPutRightBeforeTheBox() {
    ScriptedMessages messages;
    RecordingProgress progress;
    bool visible_then = true;
    size_t boxes_then = 99;
    QVERIFY(!RunShowingEngineError(
        [] {
          MostraProgresso("Aguarde...");
          throw db::Error("falhou");
        },
        [&] {
          visible_then = progress.visible();
          boxes_then = messages.messages().size();
        }));
    QVERIFY(!visible_then);
    QCOMPARE(boxes_then, size_t{0});
    QCOMPARE(messages.texts(), std::vector<std::string>{"falhou"});
  }

  void otherExceptionsGoOn() {
    ScriptedMessages messages;
    bool passed = false;
    try {
      RunShowingEngineError([] { throw std::runtime_error("outro"); });
    } catch (const std::runtime_error&) {
      passed = true;
    }
    QVERIFY(passed);
    QVERIFY(messages.messages().empty());
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::CommonUiTest)
#include "common_ui_test.moc"
