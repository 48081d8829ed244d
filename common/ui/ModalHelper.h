// For window tests: acts on a modal dialog that the code under test is
// about to open with exec(), which would otherwise block the test.
//
//   kaslo::ui::WhenModal([](QWidget* dialog) { ... ; dialog->close(); });
//   window.findChild<QAction*>("Y3")->trigger();   // runs exec()
//
// The callback runs on the first modal widget that appears after the call
// (a modal widget already open at the time of the call is left alone).
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

namespace kaslo::ui {

// Polls from the event loop for up to timeout_ms; a dialog that never
// appears leaves the callback unrun.
void WhenModal(std::function<void(QWidget*)> act, int timeout_ms = 5000);

// Answers the next QMessageBox with one of its buttons and keeps its text
// and title (line breaks as the box shows them).
struct SeenBox {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool seen = false;
};
void AnswerNextBox(QMessageBox::StandardButton button, SeenBox* seen = nullptr);

}  // namespace kaslo::ui
