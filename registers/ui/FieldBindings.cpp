#include "registers/ui/FieldBindings.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <optional>

#include "common/messages.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"
#include "registers/editor_rules.h"
#include "registers/ui/TDBComboQuelbrix.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

bool IsNumber(const db::FieldInfo& field) {
  return field.type == db::FieldType::kNumeric || field.type == db::FieldType::kFloat;
}

}  // namespace

bool FieldBindings::HasRow() const { return Editing() || (!table_->eof() && table_->recNo() != 0); }

void FieldBindings::BindEdit(QLineEdit* edit, const db::FieldDef& field, std::function<QString(const db::Table&)> show,
                             bool negative) {
  if (edit->objectName().isEmpty()) edit->setObjectName(FromLatin1(field.name));
  bindings_.push_back({edit, std::string(field.name), std::move(show), {}});
  const db::FieldInfo& info = FieldOf(bindings_.back());
  if (IsNumber(info)) {
    // digits, one decimal separator where the field has decimals; the
    // width is checked on saving, with the field's own message
    QString pattern = negative ? QStringLiteral("-?[0-9]*") : QStringLiteral("[0-9]*");
    if (info.decimals > 0) pattern += QStringLiteral("([.,][0-9]*)?");
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
  } else if (info.type == db::FieldType::kCharacter && edit->maxLength() > info.length) {
    edit->setMaxLength(info.length);
  }
}

FieldBindings::Binding* FieldBindings::BindingOf(const QWidget* control) {
  for (Binding& b : bindings_) {
    if (b.control == control) return &b;
  }
  return nullptr;
}

bool FieldBindings::Binds(const QWidget* control) const {
  return std::any_of(bindings_.begin(), bindings_.end(), [&](const Binding& b) { return b.control == control; });
}

const db::FieldInfo& FieldBindings::FieldOf(const Binding& binding) const {
  const auto index = table_->fieldIndex(binding.field);
  if (!index) throw db::Error(table_->fileName() + ": no field " + binding.field);
  return table_->fields()[*index];
}

std::string FieldBindings::LabelNameOf(const QWidget* control) const {
  // the label whose buddy is the control, or the line that holds it
  for (const QLabel* label : window_->findChildren<QLabel*>()) {
    const QWidget* buddy = label->buddy();
    if (buddy && (buddy == control || buddy->isAncestorOf(control))) {
      return reg::LabelName(ToUtf8(label->text().remove(QLatin1Char('&'))));
    }
  }
  return ToUtf8(control->objectName());
}

void FieldBindings::ShowNumber(QLineEdit* edit, const std::function<QString(double)>& format) {
  Binding* b = BindingOf(edit);
  if (!b) return;
  if (!Editing() || edit->text() == b->shown) {
    if (!HasRow()) return;
    b->shown = format(table_->asNumber(std::string_view(b->field)));
    edit->setText(b->shown);
    return;
  }
  const db::FieldInfo& info = FieldOf(*b);
  const auto typed = reg::ReadTypedNumber(ToLatin1(edit->text()), info.length, info.decimals);
  switch (typed.kind) {
    case reg::TypedNumber::Kind::kNotANumber:
    case reg::TypedNumber::Kind::kOutOfLimit: return;  // refused on saving, with its message
    case reg::TypedNumber::Kind::kBlank:
      table_->setBlank(std::string_view(b->field));
      b->shown = edit->text();
      return;
    case reg::TypedNumber::Kind::kNumber:
      table_->setNumber(std::string_view(b->field), typed.value);
      b->shown = format(typed.value);
      edit->setText(b->shown);
      return;
  }
}

void FieldBindings::BindCombo(TDBComboQuelbrix* combo, const db::FieldDef& field, std::function<bool()> edit_request) {
  if (combo->objectName().isEmpty()) combo->setObjectName(FromLatin1(field.name));
  bindings_.push_back({combo, std::string(field.name), {}, {}});
  combo->SetEditRequest([edit_request = std::move(edit_request)] {
    bool editing = false;
    RunShowingEngineError([&] { editing = edit_request(); });
    return editing;
  });
  const std::string name(field.name);
  QObject::connect(combo, &TDBComboQuelbrix::Left, combo, [this, combo, name] {
    RunShowingEngineError([&] {
      if (!Editing() || !combo->Touched()) return;
      try {
        table_->setString(std::string_view(name), ToLatin1(combo->Value()));
      } catch (const db::Error&) {
        combo->setFocus();  // the value stays pending in the combo
        throw;
      }
    });
  });
}

TDBComboQuelbrix* FieldBindings::NewCombo(QWidget* parent, const db::FieldDef& field, const QStringList& items,
                                          const QStringList& values, std::function<bool()> edit_request) {
  auto* combo = new TDBComboQuelbrix(parent);
  combo->SetItems(items);
  combo->SetValues(values);
  BindCombo(combo, field, std::move(edit_request));
  return combo;
}

void FieldBindings::Read() {
  const bool has_row = HasRow();
  for (Binding& b : bindings_) {
    if (auto* combo = qobject_cast<TDBComboQuelbrix*>(b.control)) {
      combo->ShowStored(has_row ? FromLatin1(table_->getString(std::string_view(b.field))) : QString());
    } else if (auto* edit = qobject_cast<QLineEdit*>(b.control)) {
      b.shown = !has_row ? QString()
                : b.show ? b.show(*table_)
                         : FromLatin1(table_->getString(std::string_view(b.field)));
      edit->setText(b.shown);
    }
  }
}

bool FieldBindings::Write() {
  if (!Editing()) return true;
  for (Binding& b : bindings_) {
    if (auto* combo = qobject_cast<TDBComboQuelbrix*>(b.control)) {
      if (combo->Touched()) table_->setString(std::string_view(b.field), ToLatin1(combo->Value()));
      continue;
    }
    auto* edit = qobject_cast<QLineEdit*>(b.control);
    // a box the user left as it was shown keeps the value as read
    if (!edit || !edit->isEnabled() || edit->text() == b.shown) continue;
    if (auto refusal = WriteEdit(b)) {
      kaslo::Messages().information(*refusal);
      edit->setFocus();
      return false;
    }
  }
  return true;
}

std::optional<std::string> FieldBindings::WriteEdit(const Binding& b) {
  auto* edit = static_cast<QLineEdit*>(b.control);
  const db::FieldInfo& info = FieldOf(b);
  const std::string_view field(b.field);
  try {
    if (!IsNumber(info)) {
      table_->setString(field, ToLatin1(edit->text()));
      return std::nullopt;
    }
    const auto typed = reg::ReadTypedNumber(ToLatin1(edit->text()), info.length, info.decimals);
    if (auto refusal = reg::TypedNumberRefusal(typed, LabelNameOf(edit))) return refusal;
    if (typed.kind == reg::TypedNumber::Kind::kBlank) table_->setBlank(field);
    else table_->setNumber(field, typed.value);
  } catch (const db::Error&) {
    // a date or a value the field cannot hold: the user's words, not the engine's
    return reg::MustFill(LabelNameOf(edit));
  }
  return std::nullopt;
}

}  // namespace kaslo::ui
