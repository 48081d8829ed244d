// For tests that run a communication job the whole road: the
// communication window served to kaslo-terminal over loopback, driven by the
// mouse or the keyboard as the user does.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "comm/protocol_test_support.h"
#include "comm/ui/TFCargaTcp.h"
#include "common/testing/scripted_messages.h"

namespace kaslo::ui::terminal_session {

namespace fs = std::filesystem;
using kaslo::testing::ScriptedMessages;
using Files = std::map<std::string, std::string>;

inline constexpr int kLongWaitMs = 120000;

template <typename T>
T* Find(QWidget& window, const char* name) {
  T* widget = window.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no control %s", name);
  return widget;
}
inline QTreeWidget* List(QWidget& w) { return Find<QTreeWidget>(w, "ListPlu"); }
inline QString Status(QWidget& w, int row) { return List(w)->topLevelItem(row)->text(2); }
inline void Click(QWidget& w, const char* button) { QTest::mouseClick(Find<QPushButton>(w, button), Qt::LeftButton); }
inline QString TerminalProgram() {
  return QString::fromStdString((comm::testing::BinDir() / "kaslo-terminal").string());
}

// How the user drives the windows: the mouse, or the keyboard alone
// (Enter on the focused row, the port typed and Enter, Alt+V, Alt+S, Alt+F).
enum class By { kMouse, kKeyboard };

// Runs the window's job for terminal 1: the row chosen, a free port typed
// in, "Iniciar &Servidor" answered Yes, and kaslo-terminal connecting from
// 127.0.0.1 with `answers` in <dir>/terminal/out, until the row reads
// "Comunicação Finalizada". What the terminal receives lands in
// <dir>/terminal/in; its output is left in `terminal_out`.
inline void ServeJob(TFCargaTcp& window, ScriptedMessages& messages, const fs::path& dir, const Files& answers,
                   const char* model, By by, QString& terminal_out) {
  const fs::path out = dir / "terminal" / "out";
  fs::create_directories(out);
  for (const auto& [name, bytes] : answers) std::ofstream(out / name, std::ios::binary) << bytes;

  QTreeWidget* list = List(window);
  QLineEdit* edit = Find<QLineEdit>(window, "edtPorta");
  const uint16_t port = comm::testing::FreeLoopbackPort();
  messages.QueueConfirm(true);
  if (by == By::kMouse) {
    const QPoint at = list->visualItemRect(list->topLevelItem(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
    edit->selectAll();
    QTest::keyClicks(edit, QString::number(port));
    Click(window, "btnIniciar");
  } else {
    // The list has the focus and its first row is the focused one.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY(list->hasFocus());
    QCOMPARE(list->currentItem(), list->topLevelItem(0));
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(Status(window, 0), QStringLiteral("Selecionado"));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::number(port));
    QTest::keyClick(edit, Qt::Key_Return);
  }
  QCOMPARE(edit->text(), QString::number(port));
  QCOMPARE(messages.pending(), size_t{0});
  QVERIFY(window.runner().listening());
  QCOMPARE(window.runner().port(), port);
  QCOMPARE(Status(window, 0), QStringLiteral("Aguardando Comunicação"));
  QVERIFY(!edit->isEnabled());

  QProcess terminal;
  terminal.start(TerminalProgram(), {"--port", QString::number(port), "--from", "127.0.0.1", "--model", model,
                                     "--receive-dir", QString::fromStdString((dir / "terminal" / "in").string()),
                                     "--send-dir", QString::fromStdString(out.string()), "--timeout", "90"});
  QVERIFY(terminal.waitForStarted(kLongWaitMs));
  QTRY_COMPARE_WITH_TIMEOUT(Status(window, 0), QStringLiteral("Comunicação Finalizada"), kLongWaitMs);
  if (terminal.state() != QProcess::NotRunning) QVERIFY(terminal.waitForFinished(kLongWaitMs));
  terminal_out = QString::fromUtf8(terminal.readAllStandardOutput());
  QVERIFY2(terminal.exitCode() == 0, qPrintable(terminal_out));
  QVERIFY2(terminal_out.contains(QStringLiteral("127.0.0.1 end")), qPrintable(terminal_out));
}

// Closes the communication window as the user does; a job asks nothing
// more, and nothing answers on its port afterwards.
inline void CloseCommunication(TFCargaTcp& window) {
  window.close();
  QVERIFY(!window.isVisible());
  QCOMPARE(Find<QLabel>(window, "lblAguarde")->text(), QStringLiteral("Servidor de comunicação encerrado"));
  // Nothing answers on the port any more.
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(window.runner().port());
  const int connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  close(fd);
  QCOMPARE(connected, -1);
}

}  // namespace kaslo::ui::terminal_session
