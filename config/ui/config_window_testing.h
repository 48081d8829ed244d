// What the tests of the configuration windows share: finding their
// controls, choosing a page as the user does and typing into a field.
#pragma once

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui::config_window_test {

inline QWidget* Focused() { return QApplication::focusWidget(); }
inline TDBComboQuelbrix* Combo(QWidget& w, const char* name) {
  return w.findChild<TDBComboQuelbrix*>(QString::fromLatin1(name));
}
inline QGroupBox* Group(QWidget& w, const char* name) {
  return w.findChild<QGroupBox*>(QString::fromLatin1(name));
}
inline QTabWidget* Pages(QWidget& w) { return w.findChild<QTabWidget*>(QStringLiteral("PageControl1")); }
inline void ClickTab(QWidget& w, int index) {
  QTabBar* bar = Pages(w)->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
}
// Replaces the field's text by typing; "" empties it.
inline void Type(QWidget& w, const char* name, const QString& text) {
  QLineEdit* edit = editor_test::Edit(w, name);
  edit->setFocus();
  edit->selectAll();
  if (text.isEmpty()) QTest::keyClick(edit, Qt::Key_Delete);
  else QTest::keyClicks(edit, text);
}

}  // namespace kaslo::ui::config_window_test
