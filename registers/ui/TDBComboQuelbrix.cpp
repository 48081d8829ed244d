// The flag combo.
#include "registers/ui/TDBComboQuelbrix.h"

#include <QKeyEvent>

#include "common/ui/qt_text.h"
#include "registers/editor_rules.h"

namespace {

std::vector<std::string> Latin1List(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(kaslo::ui::ToLatin1(s));
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
  setCurrentIndex(kaslo::registers::ComboIndexOf(Latin1List(values_), kaslo::ui::ToLatin1(stored)));
}

QString TDBComboQuelbrix::Value() const {
  if (currentIndex() < 0) return {};
  return kaslo::ui::FromLatin1(
      kaslo::registers::ComboValueOf(Latin1List(items_), Latin1List(values_), kaslo::ui::ToLatin1(currentText())));
}

void TDBComboQuelbrix::Choose(const QString& value) {
  int i = values_.indexOf(value);
  if (i < 0) return;
  setCurrentIndex(i);
  touched_ = true;
}

void TDBComboQuelbrix::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    ShowStored(stored_);
    event->ignore();  // the window decides what Esc means
    return;
  }
  const int before = currentIndex();
  QComboBox::keyPressEvent(event);
  if (currentIndex() != before) touched_ = true;
}
