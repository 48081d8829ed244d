// The tax-code window.
#include "registers/ui/TFCadTrib.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycotrb.h"
#include "registers/products.h"

namespace kaslo::ui {

namespace {

const WindowRegistrar kRegistrar{"TFCadTrib", OpenEditor<TFCadTrib>};

}  // namespace

TFCadTrib::TFCadTrib(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Tributações"),
                    .table = std::string(ycotrb::kTable),
                    .total_in_status = false,
                    .view_only = true}) {
  setObjectName(QStringLiteral("TFCadTrib"));
  SetColumns({
      {std::string(ycotrb::TRB_CODIGO.name), QStringLiteral("Código"),
       [](const db::Table& t, uint32_t rec) {
         return FromLatin1(t.getStringAt(rec, ycotrb::TRB_CODIGO)).rightJustified(2, QLatin1Char('0'));
       }},
      {std::string(ycotrb::TRB_DESCR.name), QStringLiteral("Descrição")},
  });
  Grid->setColumnWidth(0, 70);
  // the shading follows the current tag's key fields
  auto* model = static_cast<RecordTableModel*>(Grid->model());
  model->background = [this, model](int column) {
    for (const std::string& field : table_->tagFields(table_->tag())) {
      if (QString::fromStdString(field).compare(QString::fromStdString(model->columns()[column].field),
                                                Qt::CaseInsensitive) == 0) {
        return KeyColour();
      }
    }
    return QColor();
  };

  auto* box = new QGroupBox(QStringLiteral("  Tributação"), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* form = new QFormLayout(box);
  auto edit = [&](const db::FieldDef& field, const QString& label, std::function<QString(const db::Table&)> show = {}) {
    auto* e = new QLineEdit(box);
    BindEdit(e, field, std::move(show));
    form->addRow(label, e);
    return e;
  };
  edit(ycotrb::TRB_CODIGO, QStringLiteral("Código:"), [](const db::Table& t) {
    return FromLatin1(t.getString(ycotrb::TRB_CODIGO)).rightJustified(2, QLatin1Char('0'));
  });
  edit(ycotrb::TRB_DESCR, QStringLiteral("Descrição:"));
  edit(ycotrb::TRB_LEGEND, QStringLiteral("Legenda:"))->setAlignment(Qt::AlignCenter);
  edit(ycotrb::TRB_TIPO, QStringLiteral("Tipo:"))->setAlignment(Qt::AlignCenter);
  auto* percent = new QWidget(box);
  auto* row = new QHBoxLayout(percent);
  row->setContentsMargins(0, 0, 0, 0);
  auto* e = new QLineEdit(percent);
  BindEdit(e, ycotrb::TRB_PERCEN, [](const db::Table& t) {
    return QString::fromStdString(kaslo::registers::FormatDecimals(t.asNumber(ycotrb::TRB_PERCEN), 2));
  });
  row->addWidget(e);
  row->addWidget(new QLabel(QStringLiteral("%"), percent));
  row->addStretch();
  form->addRow(QStringLiteral("Percentual:"), percent);
  Start();
}

}  // namespace kaslo::ui
