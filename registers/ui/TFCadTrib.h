// TFCadTrib ("Cadastro de Tributações"): the tax codes, view only, and the
// tax-code picker of the product and department windows. The column by
// which the grid is ordered is shaded.
#pragma once

#include "registers/ui/RecordEditor.h"

class QLineEdit;

namespace kaslo::ui {

class TFCadTrib final : public RecordEditor {
  Q_OBJECT

 public:
  TFCadTrib(QWidget* owner, const std::filesystem::path& data_dir);

  // The light blue of the key column.
  static QColor KeyColour() { return QColor(225, 247, 255); }

 protected:
  kaslo::registers::Validation ValidateRecord() override { return std::nullopt; }
  QWidget* FirstField() const override { return nullptr; }
};

}  // namespace kaslo::ui
