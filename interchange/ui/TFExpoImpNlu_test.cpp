// The product files window offscreen on a demo data directory: its two
// modes, the controls that follow one another, the question before an
// operation and what the window does after Yes and No, the state while an
// operation runs, and the editor of the tax conversion file.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/progress.h"
#include "common/testing/scripted_messages.h"
#include "common/ui/ModalHelper.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/temp_data_dir.h"
#include "interchange/ui/TFConvAliq.h"
#include "interchange/ui/TFExpoImpNlu.h"

namespace fs = std::filesystem;

namespace kaslo::ui {

using kaslo::testing::MessageKind;
using kaslo::testing::ScriptedMessages;

namespace {

constexpr int kExport = 0;
constexpr int kImport = 1;

const char* const kRunControls[] = {"btnOk", "btnCancela", "YCB", "RB1", "RB2"};

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

template <typename T>
T* Find(QWidget& w, const char* name) {
  T* found = w.findChild<T*>(QString::fromLatin1(name));
  if (!found) qWarning("no %s", name);
  return found;
}
QPushButton* Button(QWidget& w, const char* name) { return Find<QPushButton>(w, name); }
QRadioButton* Radio(QWidget& w, const char* name) { return Find<QRadioButton>(w, name); }
// A click on the radio's mark, where a user clicks: a radio takes a click
// on its mark and text only, not on the rest of its row.
void Pick(QRadioButton* radio) { QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2)); }
QComboBox* Ycb(QWidget& w) { return Find<QComboBox>(w, "YCB"); }
QProgressBar* Gauge(QWidget& w) { return Find<QProgressBar>(w, "Gauge1"); }
QLineEdit* Slot(QWidget& w, int slot) {
  return w.findChild<QLineEdit*>(QStringLiteral("edtSlot%1").arg(slot, 2, 10, QLatin1Char('0')));
}

bool Idle(TFExpoImpNlu& w) {
  for (const char* name : kRunControls) {
    if (!Find<QWidget>(w, name)->isEnabled()) return false;
  }
  return !w.Running() && Gauge(w)->isHidden();
}

// A progress port that looks at the window once, the first time the core
// shows its wait text: the only moment a test sees an operation running.
class WatchingProgress final : public ProgressPort {
 public:
  explicit WatchingProgress(std::function<void()> look) : look_(std::move(look)), installed_(*this) {}
  void show(const std::string&) override {
    if (look_) std::exchange(look_, nullptr)();
  }
  void setMaximum(int) override {}
  void setPosition(int) override {}
  void hide() override {}
  bool looked() const { return !look_; }

 private:
  std::function<void()> look_;
  ScopedProgressPort installed_;
};

}  // namespace

class TFExpoImpNluTest : public QObject {
  Q_OBJECT

 private slots:
  void exportModeOpensIdleOnTheWholeList() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kExport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.objectName(), QStringLiteral("FExpoImpNlu"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Exportação de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    QVERIFY(!(w.windowFlags() & (Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint)));
    QCOMPARE(Button(w, "btnOk")->text(), QStringLiteral("&Exportar"));
    QCOMPARE(Button(w, "btnCancela")->text(), QStringLiteral("&Fechar"));
    QCOMPARE(Button(w, "btnConverte")->text(), QStringLiteral("Conversão de &Alíquotas"));
    QCOMPARE(Ycb(w)->count(), 2);
    QCOMPARE(Ycb(w)->itemText(0), QStringLiteral("Não"));
    QCOMPARE(Ycb(w)->itemText(1), QStringLiteral("Sim"));
    QCOMPARE(Ycb(w)->currentText(), QStringLiteral("Não"));
    QCOMPARE(Find<QLabel>(w, "lblConverte")->text(), QStringLiteral("Converter Alíquotas?:"));
    QStringList groups;
    for (auto* g : w.findChildren<QGroupBox*>()) groups << g->title();
    QCOMPARE(groups, (QStringList{QStringLiteral("  Selecione o opção desejada  "), QStringLiteral("Tipo de Arquivo")}));
    QCOMPARE(Radio(w, "RB1")->text(), QStringLiteral("Todos os Produtos"));
    QCOMPARE(Radio(w, "RB2")->text(), QStringLiteral("Somente Produtos Alterados"));
    QCOMPARE(Radio(w, "rdgNLUFILE")->text(), QStringLiteral("NLUFILE"));
    QCOMPARE(Radio(w, "rdgOPtCash")->text(), QStringLiteral("OPTICASH"));
    QVERIFY(Radio(w, "RB1")->isChecked() && !Radio(w, "RB2")->isChecked());
    QVERIFY(Radio(w, "rdgNLUFILE")->isChecked());
    QVERIFY(Idle(w));
    QVERIFY(!Button(w, "btnConverte")->isEnabled());
    // an export always writes the product files
    QVERIFY(!Radio(w, "rdgNLUFILE")->isEnabled() && !Radio(w, "rdgOPtCash")->isEnabled());
    Pick(Radio(w, "rdgOPtCash"));
    QVERIFY(Radio(w, "rdgNLUFILE")->isChecked());
  }

  void importModeNamesItsButtonAndOffersTheFileTypes() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kImport);
    QCOMPARE(w.windowTitle(), QStringLiteral("Importação de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"));
    QCOMPARE(Button(w, "btnOk")->text(), QStringLiteral("Importar"));
    QVERIFY(Radio(w, "rdgNLUFILE")->isEnabled() && Radio(w, "rdgOPtCash")->isEnabled());
    QVERIFY(Radio(w, "rdgNLUFILE")->isChecked() && Radio(w, "RB1")->isChecked());
    QVERIFY(Idle(w));
    QVERIFY(!Button(w, "btnConverte")->isEnabled());
  }

  void captionAndButtonFollowTheScope() {
    db::testing::TempDataDir dir({.demo = true});
    for (int tag : {kExport, kImport}) {
      TFExpoImpNlu w(nullptr, dir.path(), tag);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      const QString mode = tag == kExport ? QStringLiteral("Exportação") : QStringLiteral("Importação");
      const QString button = tag == kExport ? QStringLiteral("&Exportar") : QStringLiteral("Importar");
      Pick(Radio(w, "RB2"));
      QCOMPARE(w.windowTitle(), mode + QStringLiteral(" de Produtos ( Alterados ) - Arquivo [ NLUMNT.MTR ]"));
      QCOMPARE(Button(w, "btnOk")->text(), button);
      QCOMPARE(w.ChosenOperation().scope, interchange::Scope::kChanged);
      Pick(Radio(w, "RB1"));
      QCOMPARE(w.windowTitle(), mode + QStringLiteral(" de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"));
      QCOMPARE(Button(w, "btnOk")->text(), button);
      QCOMPARE(w.ChosenOperation().scope, interchange::Scope::kAll);
    }
  }

  void opticashForcesTheWholeList() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kImport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Pick(Radio(w, "RB2"));
    Pick(Radio(w, "rdgOPtCash"));
    QVERIFY(Radio(w, "RB1")->isChecked());
    QVERIFY(!Radio(w, "RB1")->isEnabled() && !Radio(w, "RB2")->isEnabled());
    QCOMPARE(w.windowTitle(), QStringLiteral("Importação de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"));
    QCOMPARE(w.ChosenOperation().source, interchange::Source::kOpticash);
    QCOMPARE(w.ChosenOperation().scope, interchange::Scope::kAll);

    Pick(Radio(w, "rdgNLUFILE"));
    QVERIFY(Radio(w, "RB1")->isEnabled() && Radio(w, "RB2")->isEnabled());
    QVERIFY(Radio(w, "RB1")->isChecked());
    QCOMPARE(w.ChosenOperation().source, interchange::Source::kNlufile);
  }

  void conversionButtonFollowsTheCombo() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kExport);
    Ycb(w)->setCurrentIndex(1);
    QVERIFY(Button(w, "btnConverte")->isEnabled());
    QVERIFY(w.ChosenOperation().convert);
    Ycb(w)->setCurrentIndex(0);
    QVERIFY(!Button(w, "btnConverte")->isEnabled());
    QVERIFY(!w.ChosenOperation().convert);
  }

  void answeringNoChangesNothing() {
    db::testing::TempDataDir dir({.demo = true});
    for (int tag : {kExport, kImport}) {
      ScriptedMessages messages;
      messages.QueueConfirm(false);
      TFExpoImpNlu w(nullptr, dir.path(), tag);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      Button(w, "btnOk")->click();
      QCOMPARE(messages.messages().size(), size_t{1});
      const auto& question = messages.messages().front();
      QCOMPARE(question.kind, MessageKind::kConfirm);
      QCOMPARE(question.text, std::string(tag == kExport ? "Confirma efetuar Exportação de Produtos ?"
                                                         : "Confirma efetuar Importação de Produtos ?"));
      QCOMPARE(question.default_answer, DefaultAnswer::kNo);
      QVERIFY(Idle(w) && w.isVisible());
    }
    QVERIFY(!dir.db().exists("NLUFILE.MTR"));
  }

  void escapeClosesTheIdleWindow() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kImport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    w.show();
    Button(w, "btnCancela")->click();
    QVERIFY(!w.isVisible());
  }

  void theMenuOpensTheWindowInTheItemsMode() {
    db::testing::TempDataDir dir({.demo = true});
    const WindowOpener* opener = FindWindowOpener("TFExpoImpNlu");
    QVERIFY(opener);
    QString caption;
    WhenModal([&](QWidget* window) {
      caption = window->windowTitle();
      window->close();
    });
    OpenContext context;
    context.data_dir = dir.path();
    context.tag = kImport;
    (*opener)(context);
    QCOMPARE(caption, QStringLiteral("Importação de Produtos ( Total ) - Arquivo [ NLUFILE.MTR ]"));
  }

  // ---- with the core's operations

  void yesExportsNlufileWithTheControlsHeldMeanwhile() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    messages.QueueConfirm(true);
    TFExpoImpNlu w(nullptr, dir.path(), kExport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    bool held = false;
    WatchingProgress watch([&] {
      held = w.Running() && Gauge(w)->isVisible() && !Button(w, "btnConverte")->isEnabled();
      for (const char* name : kRunControls) held = held && !Find<QWidget>(w, name)->isEnabled();
      // neither the close box nor Escape ends a running operation
      held = held && !w.close() && w.isVisible();
      QTest::keyClick(&w, Qt::Key_Escape);
      held = held && w.isVisible();
    });
    Button(w, "btnOk")->click();
    QVERIFY(watch.looked());
    QVERIFY(held);
    QCOMPARE(messages.texts(), (std::vector<std::string>{"Confirma efetuar Exportação de Produtos ?",
                                                         "NLUFILE.MTR criado com sucesso !"}));
    QCOMPARE(messages.messages().back().kind, MessageKind::kInformation);
    QVERIFY(dir.db().exists("NLUFILE.MTR"));
    QVERIFY(!Read(dir.db().find("NLUFILE.MTR")).empty());
    QVERIFY(Idle(w) && w.isVisible());
    QVERIFY(!Button(w, "btnConverte")->isEnabled());
  }

  // The window keeps no table open: the import takes the product table for
  // itself. Its final box names the backup of the replaced tables last.
  void yesImportsWhatTheExportWrote() {
    SetFixedNow(DateTime{std::chrono::year{2026} / 12 / 9, 19, 30, 0});
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    for (int tag : {kExport, kImport}) {
      messages.QueueConfirm(true);
      TFExpoImpNlu w(nullptr, dir.path(), tag);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      Button(w, "btnOk")->click();
    }
    QCOMPARE(messages.texts(), (std::vector<std::string>{
                                   "Confirma efetuar Exportação de Produtos ?", "NLUFILE.MTR criado com sucesso !",
                                   "Confirma efetuar Importação de Produtos ?",
                                   "Importação do arquivo NLUFILE.MTR concluída !\r"
                                   "Cópia de segurança: backup/20261209-193000-importacao-completa"}));
    SetFixedNow(std::nullopt);
    QVERIFY(fs::is_directory(dir.path() / "backup" / "20261209-193000-importacao-completa"));
  }

  // Each choice of the controls reaches its operation: told apart by the
  // first thing each one finds missing in the demo store.
  void theControlsChooseTheOperation() {
    struct Case {
      int tag;
      bool changed;
      bool opticash;
      bool convert;
      std::string message;
    };
    const std::vector<Case> cases = {
        {kExport, true, false, false, "Ycoy60, arquivo de produtos alterados esta vazio ![w]"},
        {kExport, false, false, true, "Q5200.CVS, arquivo para conversão de alíquotas não encontrado ![w]"},
        {kImport, false, false, false, "Arquivo NLUFILE.MTR não encontrado !"},
        {kImport, true, false, false, "Arquivo NLUMNT.MTR não encontrado ![w]"},
        {kImport, true, false, true, "Q5200.CVS, arquivo para conversão de alíquotas não encontrado ![w]"},
        // OPTICASH.TXT ignores the scope and the conversion chosen before it
        {kImport, true, true, true, "Arquivo OPTICASH.TXT não encontrado !"},
    };
    db::testing::TempDataDir dir({.demo = true});
    for (const Case& c : cases) {
      ScriptedMessages messages;
      messages.QueueConfirm(true);
      TFExpoImpNlu w(nullptr, dir.path(), c.tag);
      w.show();
      QVERIFY(QTest::qWaitForWindowExposed(&w));
      if (c.changed) Pick(Radio(w, "RB2"));
      if (c.convert) Ycb(w)->setCurrentIndex(1);
      if (c.opticash) Pick(Radio(w, "rdgOPtCash"));
      Button(w, "btnOk")->click();
      QCOMPARE(messages.texts().size(), size_t{2});
      QCOMPARE(messages.texts().back(), c.message);
      QCOMPARE(messages.messages().back().kind, MessageKind::kInformation);
      QCOMPARE(Button(w, "btnConverte")->isEnabled(), c.convert);
      // after OPTICASH the scope stays forced
      QCOMPARE(Radio(w, "RB1")->isEnabled(), !c.opticash);
      QVERIFY(!w.Running() && Gauge(w)->isHidden() && Button(w, "btnOk")->isEnabled());
    }
    QVERIFY(!dir.db().exists("NLUMNT.MTR") && !dir.db().exists("NLUFILE.MTR"));
  }

  void anEngineErrorIsShownAndTheWindowStaysUsable() {
    db::testing::TempDataDir dir({.demo = true});
    Write(dir.db().find("YCOPRO.DBF"), "\x03garbage");
    ScriptedMessages messages;
    messages.QueueConfirm(true);
    TFExpoImpNlu w(nullptr, dir.path(), kExport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Button(w, "btnOk")->click();
    QCOMPARE(messages.messages().size(), size_t{2});
    QCOMPARE(messages.messages().back().kind, MessageKind::kError);
    QVERIFY(!messages.texts().back().empty());
    QVERIFY(Idle(w) && w.isVisible());
  }

  // ---- the editor of Q5200.CVS

  void conversionEditorOpensFromItsButton() {
    db::testing::TempDataDir dir({.demo = true});
    TFExpoImpNlu w(nullptr, dir.path(), kExport);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    Ycb(w)->setCurrentIndex(1);
    QString name, caption;
    QStringList labels;
    int boxes = 0;
    WhenModal([&](QWidget* editor) {
      name = editor->objectName();
      caption = editor->windowTitle();
      for (auto* l : editor->findChildren<QLabel*>()) labels << l->text();
      for (int i = 1; i <= 16; ++i) {
        QLineEdit* slot = Slot(*editor, i);
        if (slot && slot->maxLength() == 2 && slot->text().isEmpty()) ++boxes;
      }
      Button(*editor, "btnCancelar")->click();
    });
    Button(w, "btnConverte")->click();
    QCOMPARE(name, QStringLiteral("FConvAliq"));
    QCOMPARE(caption, QStringLiteral("Conversão de Alíquotas"));
    labels.sort();
    QCOMPARE(labels.size(), 16);
    QCOMPARE(labels.front(), QStringLiteral("Alíquota 01:"));
    QCOMPARE(labels.back(), QStringLiteral("Alíquota 16:"));
    QCOMPARE(boxes, 16);
    QVERIFY(!dir.db().exists("Q5200.CVS"));
  }

  void conversionEditorShowsTheUsableSlotsOfTheFile() {
    db::testing::TempDataDir dir({.demo = true});
    Write(dir.path() / "q5200.cvs", "1\r\nAB\r\n 7 \r\n0\r\n123\r\n");
    TFConvAliq editor(dir.db());
    QCOMPARE(Slot(editor, 1)->text(), QStringLiteral("1"));
    QCOMPARE(Slot(editor, 2)->text(), QString());
    QCOMPARE(Slot(editor, 3)->text(), QStringLiteral("7"));
    QCOMPARE(Slot(editor, 4)->text(), QString());
    QCOMPARE(Slot(editor, 5)->text(), QStringLiteral("12"));
    for (int i = 6; i <= 16; ++i) QCOMPARE(Slot(editor, i)->text(), QString());
  }

  void gravarRejectsWhatIsNotATaxCode() {
    db::testing::TempDataDir dir({.demo = true});
    for (const char* entry : {"0", "00", "AB", "-1"}) {
      ScriptedMessages messages;
      TFConvAliq editor(dir.db());
      editor.show();
      QVERIFY(QTest::qWaitForWindowActive(&editor));
      QTest::keyClicks(Slot(editor, 1), QStringLiteral("3"));
      QTest::keyClicks(Slot(editor, 5), QString::fromLatin1(entry));
      Button(editor, "btnGravar")->click();
      QCOMPARE(messages.texts(), std::vector<std::string>{"Alíquota inválida !"});
      QCOMPARE(messages.messages().front().kind, MessageKind::kInformation);
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Slot(editor, 5)));
      QVERIFY(editor.isVisible());
      QVERIFY(!dir.db().exists("Q5200.CVS"));
    }
    // a box takes no more than two characters
    TFConvAliq editor(dir.db());
    QTest::keyClicks(Slot(editor, 16), QStringLiteral("123"));
    QCOMPARE(Slot(editor, 16)->text(), QStringLiteral("12"));
  }

  void gravarWritesSixteenLinesKeepingTheNamesCase() {
    db::testing::TempDataDir dir({.demo = true});
    Write(dir.path() / "q5200.cvs", "9\r\n");
    ScriptedMessages messages;
    TFConvAliq editor(dir.db());
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    Slot(editor, 1)->clear();
    QTest::keyClicks(Slot(editor, 1), QStringLiteral("7"));
    QTest::keyClicks(Slot(editor, 2), QStringLiteral("12"));
    QTest::keyClicks(Slot(editor, 16), QStringLiteral("3"));
    Button(editor, "btnGravar")->click();
    QVERIFY(messages.texts().empty());
    QCOMPARE(editor.result(), int(QDialog::Accepted));
    QVERIFY(!editor.isVisible());
    std::string expected = "7\r\n12\r\n";
    for (int i = 3; i <= 15; ++i) expected += "\r\n";
    expected += "3\r\n";
    QCOMPARE(Read(dir.path() / "q5200.cvs"), expected);
    QVERIFY(!fs::exists(dir.path() / "Q5200.CVS") || fs::equivalent(dir.path() / "Q5200.CVS", dir.path() / "q5200.cvs"));
  }

  void enterWalksTheSlotsAndSavesFromTheLast() {
    db::testing::TempDataDir dir({.demo = true});
    ScriptedMessages messages;
    TFConvAliq editor(dir.db());
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    Slot(editor, 1)->setFocus();
    for (int i = 1; i < 16; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Slot(editor, i + 1)));
    }
    QVERIFY(!dir.db().exists("Q5200.CVS"));
    QTest::keyClicks(Slot(editor, 16), QStringLiteral("5"));
    QTest::keyClick(Slot(editor, 16), Qt::Key_Enter, Qt::KeypadModifier);
    QVERIFY(messages.texts().empty());
    QVERIFY(!editor.isVisible());
    std::string expected;
    for (int i = 1; i <= 15; ++i) expected += "\r\n";
    QCOMPARE(Read(dir.db().find("Q5200.CVS")), expected + "5\r\n");
  }

  void gravarThatCannotWriteSaysSo() {
    db::testing::TempDataDir dir({.demo = true});
    // a folder where the file should be: nothing can be renamed onto it
    fs::create_directory(dir.path() / "Q5200.CVS");
    ScriptedMessages messages;
    TFConvAliq editor(dir.db());
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QTest::keyClicks(Slot(editor, 1), QStringLiteral("1"));
    Button(editor, "btnGravar")->click();
    QCOMPARE(messages.texts(), std::vector<std::string>{"Erro ao tentar gravar Q5200.CVS !"});
    QCOMPARE(messages.messages().front().kind, MessageKind::kInformation);
    QVERIFY(editor.isVisible());
  }
};

}  // namespace kaslo::ui

QTEST_MAIN(kaslo::ui::TFExpoImpNluTest)
#include "TFExpoImpNlu_test.moc"
