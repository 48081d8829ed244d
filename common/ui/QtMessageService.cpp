// QMessageBox and QInputDialog behind kaslo::Messages().
#include "common/ui/QtMessageService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "common/ui/qt_text.h"

namespace kaslo::ui {

namespace {

QWidget* Owner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return QApplication::activeWindow();
}

QString Title(const std::string& title) {
  return title.empty() ? QCoreApplication::applicationName() : FromUtf8(title);
}

int Show(QMessageBox::Icon icon, const std::string& text, const std::string& title,
         QMessageBox::StandardButtons buttons, QMessageBox::StandardButton default_button) {
  QMessageBox box(icon, Title(title), BoxText(text), buttons, Owner());
  box.setDefaultButton(default_button);
  // The store's user reads Portuguese, whatever the desktop's language.
  if (QAbstractButton* yes = box.button(QMessageBox::Yes)) yes->setText(QStringLiteral("&Sim"));
  if (QAbstractButton* no = box.button(QMessageBox::No)) no->setText(QStringLiteral("&Não"));
  return box.exec();
}

}  // namespace

QString BoxText(const std::string& utf8) {
  QString text = FromUtf8(utf8);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

void QtMessageService::information(const std::string& text, const std::string& title) {
  Show(QMessageBox::Information, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageService::error(const std::string& text, const std::string& title) {
  Show(QMessageBox::Critical, text, title, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageService::confirm(const std::string& text, const std::string& title,
                               DefaultAnswer default_answer) {
  QMessageBox::Icon icon = title.empty() ? QMessageBox::Question : QMessageBox::Critical;
  QMessageBox::StandardButton default_button =
      default_answer == DefaultAnswer::kNo ? QMessageBox::No : QMessageBox::Yes;
  return Show(icon, text, title, QMessageBox::Yes | QMessageBox::No, default_button) ==
         QMessageBox::Yes;
}

std::optional<std::string> QtMessageService::input(const std::string& title, const std::string& prompt,
                                                   const std::string& initial) {
  QInputDialog dialog(Owner());
  dialog.setWindowTitle(FromUtf8(title));
  dialog.setLabelText(FromUtf8(prompt));
  dialog.setTextValue(FromUtf8(initial));
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("Cancelar"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ToUtf8(dialog.textValue());
}

}  // namespace kaslo::ui
