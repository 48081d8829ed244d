// The find dialog.
#include "registers/ui/TFLocaliza.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycopro.h"
#include "registers/editor_rules.h"

namespace kaslo::ui {

bool TFLocaliza::description_search = false;

TFLocaliza::TFLocaliza(QWidget* caller, db::Table& table, const std::vector<std::string>& labels,
                       std::function<void()> moved, CodeKeyRule rule)
    : QDialog(caller, Qt::Dialog | Qt::FramelessWindowHint),
      table_(table),
      moved_(std::move(moved)),
      rule_(std::move(rule)) {
  setObjectName(QStringLiteral("TFLocaliza"));
  setWindowTitle(QStringLiteral("Localizar Registro"));
  setFixedSize(358, 72);
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setStyleSheet(QStringLiteral("#Panel1 { background: navy; } QGroupBox { color: white; }"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(panel);
  GB = new QGroupBox(panel);
  GB->setObjectName(QStringLiteral("GB"));
  cProcurar = new QLineEdit(GB);
  cProcurar->setObjectName(QStringLiteral("cProcurar"));
  auto* inner = new QVBoxLayout(GB);
  inner->setContentsMargins(6, 2, 6, 4);
  inner->addWidget(cProcurar);
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(6, 4, 6, 6);
  layout->addWidget(GB);

  // the caption and the kind of the first key field
  std::vector<bool> is_date;
  const auto fields = table.tag().empty() ? std::vector<std::string>{} : table.tagFields(table.tag());
  for (size_t i = 0; i < fields.size(); ++i) {
    const auto& info = table.fields()[*table.fieldIndex(fields[i])];
    is_date.push_back(info.type == db::FieldType::kDate);
    if (i == 0) numeric_ = info.type == db::FieldType::kNumeric || info.type == db::FieldType::kFloat;
  }
  GB->setTitle(FromUtf8(kaslo::registers::FindCaption(description_search, labels, is_date)));

  if (caller) {
    QWidget* window = caller->window();
    const QRect frame = window->frameGeometry();
    move(frame.x() + (frame.width() - width()) / 2, frame.y() + 15);
  }
  cProcurar->installEventFilter(this);
  connect(cProcurar, &QLineEdit::textChanged, this, &TFLocaliza::cProcurarChange);
}

std::string TFLocaliza::Key() const {
  const std::string typed = ToLatin1(cProcurar->text());
  return rule_.key ? rule_.key(typed) : typed;
}

void TFLocaliza::cProcurarChange(const QString&) {
  kaslo::registers::FindNearestText(table_, Key());
  if (moved_) moved_();
}

void TFLocaliza::EnterPressed() {
  const bool products = FromLatin1(table_.fileName()).toUpper() == QStringLiteral("YCOPRO.DBF");
  if (!description_search && products) {
    const std::string code = table_.eof() || table_.recNo() == 0 ? std::string() : table_.getString(ycopro::PRO_PLU);
    if (code != Key()) {
      kaslo::Messages().error("Produto nao encontrado!");
      return;
    }
  }
  accept();
}

bool TFLocaliza::eventFilter(QObject* watched, QEvent* event) {
  if (watched == cProcurar) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      accept();
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      switch (key->key()) {
        case Qt::Key_Escape: reject(); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: EnterPressed(); return true;
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End: return false;
        default: break;
      }
      const QString text = key->text();
      if (text.isEmpty()) return false;
      for (char32_t c : text.toUcs4()) {
        if (c == U'-' && rule_.hyphen) continue;
        if (c >= 32 && !kaslo::registers::FindAccepts(c, numeric_)) return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFLocaliza::mousePressEvent(QMouseEvent*) { accept(); }

}  // namespace kaslo::ui
