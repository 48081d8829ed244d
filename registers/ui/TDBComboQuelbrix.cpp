// The flag combo.
#include "registers/ui/TDBComboQuelbrix.h"

#include <QKeyEvent>

#include "common/ui/qt_text.h"
#include "registers/editor_rules.h"

namespace kaslo::ui {

namespace {

std::vector<std::string> Latin1List(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(ToLatin1(s));
  return out;
}

}  // namespace

TDBComboQuelbrix::TDBComboQuelbrix(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  connect(this, &QComboBox::activated, this, [this](int) { touched_ = true; });
}

void TDBComboQuelbrix::SetItems(const QStringList& items) {
  items_ = items;
  clear();
  addItems(items);
  ShowStored(stored_);
}

void TDBComboQuelbrix::SetValues(const QStringList& values) {
  values_ = values;
  ShowStored(stored_);
}

void TDBComboQuelbrix::ShowStored(const QString& stored) {
  stored_ = stored;
  touched_ = false;
  setCurrentIndex(kaslo::registers::ComboIndexOf(Latin1List(values_), ToLatin1(stored)));
}

QString TDBComboQuelbrix::Value() const {
  if (currentIndex() < 0) return {};
  return FromLatin1(
      kaslo::registers::ComboValueOf(Latin1List(items_), Latin1List(values_), ToLatin1(currentText())));
}

void TDBComboQuelbrix::Choose(const QString& value) {
  int i = values_.indexOf(value);
  if (i < 0) return;
  setCurrentIndex(i);
  touched_ = true;
}

bool TDBComboQuelbrix::MayChange() { return !read_only_ && (!edit_request_ || edit_request_()); }

void TDBComboQuelbrix::showPopup() {
  // dropping the list down puts the table into edit mode; when it cannot,
  // no choice could be kept, so the list stays closed
  if (!MayChange()) return;
  QComboBox::showPopup();
}

void TDBComboQuelbrix::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    ShowStored(stored_);
    event->ignore();  // the window decides what Esc means
    return;
  }
  const QString text = event->text();
  const bool printable = !text.isEmpty() && text.at(0).unicode() > 31;
  const bool moves = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp ||
                     event->key() == Qt::Key_PageDown || event->key() == Qt::Key_Home || event->key() == Qt::Key_End;
  if ((printable || moves) && !MayChange()) return;
  const int before = currentIndex();
  QComboBox::keyPressEvent(event);
  if (currentIndex() != before) touched_ = true;
}

void TDBComboQuelbrix::wheelEvent(QWheelEvent* event) {
  if (!MayChange()) return;
  const int before = currentIndex();
  QComboBox::wheelEvent(event);
  if (currentIndex() != before) touched_ = true;
}

void TDBComboQuelbrix::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  // not when only the list popped up over it
  if (event->reason() == Qt::PopupFocusReason) return;
  emit Left();
}

}  // namespace kaslo::ui
