// The product window.
#include "registers/ui/TFCadProd_DB.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include "common/numbers.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/tables/ycodep.h"
#include "db/tables/ycogrp.h"
#include "db/tables/ycopro.h"
#include "db/tables/ycotrb.h"
#include "registers/groups.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFCadGrpDepto.h"
#include "registers/ui/TFCadTrib.h"
#include "registers/ui/TFLocaliza.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

const WindowRegistrar kRegistrar{"TFCadProd_DB", OpenEditor<TFCadProd_DB>};

QLabel* Panel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFrameShape(QFrame::Panel);
  label->setFrameShadow(QFrame::Sunken);
  label->setMinimumWidth(220);
  return label;
}

constexpr int kTypedCodeLength = 13;
constexpr int kShownCodeLength = 14;

double NumberOf(const QLineEdit* edit) { return TextoParaNumero(ToLatin1(edit->text())); }

}  // namespace

TFCadProd_DB::TFCadProd_DB(QWidget* owner, const std::filesystem::path& data_dir)
    : RecordEditor(owner, data_dir,
                   {.title = QStringLiteral("Cadastro de Produtos"), .table = std::string(ycopro::kTable)}) {
  setObjectName(QStringLiteral("TFCadProd_DB"));
  resize(800, 620);
  aux_ = db_.open(ycopro::kTable, {.tag = "Um", .exclusive = false});
  trb_ = db_.open(ycotrb::kTable, {.tag = "Um", .exclusive = false});
  grp_ = db_.open(ycogrp::kTable, {.tag = "Quatro", .exclusive = false});
  dep_ = db_.open(ycodep::kTable, {.tag = "Um", .exclusive = false});
  check_digit_ = reg::CheckDigitOn(db_);
  TFLocaliza::description_search = false;

  const bool digit = check_digit_;
  SetColumns({
      {std::string(ycopro::PRO_PLU.name), QStringLiteral("Código"),
       [digit](const db::Table& t, uint32_t rec) {
         return QString::fromStdString(reg::CodeDisplay(TextoParaNumero(t.getStringAt(rec, ycopro::PRO_PLU)), digit));
       },
       Qt::AlignRight | Qt::AlignVCenter},
      {std::string(ycopro::PRO_DESCR.name), QStringLiteral("Descrição")},
  });
  Grid->setColumnWidth(0, 130);

  auto* box = new QGroupBox(QStringLiteral("  Dados do Produto  "), Target());
  auto* outer = new QVBoxLayout(Target());
  outer->addWidget(box);
  auto* grid = new QGridLayout(box);
  int row = 0;
  auto label = [&](const QString& text, QWidget* buddy, int r, int c) { AddLabel(grid, text, buddy, r, c); };
  auto combo = [&](const db::FieldDef& field, const QStringList& items, const QStringList& values) {
    return NewCombo(box, field, items, values);
  };

  PRO_PLU = new QLineEdit(box);
  // a stored code of 13 digits shows with its hyphen; only typing is held to 13
  PRO_PLU->setMaxLength(kShownCodeLength);
  PRO_PLU->setMinimumWidth(150);
  BindEdit(PRO_PLU, ycopro::PRO_PLU, [digit](const db::Table& t) {
    if (t.isBlank(ycopro::PRO_PLU)) return QString();
    return QString::fromStdString(reg::CodeDisplay(t.asNumber(ycopro::PRO_PLU), digit));
  });
  label(QStringLiteral("Código:"), PRO_PLU, row, 0);
  grid->addWidget(PRO_PLU, row++, 1);

  PRO_DESCR = new QLineEdit(box);
  PRO_DESCR->setMaxLength(ycopro::PRO_DESCR.length);
  BindEdit(PRO_DESCR, ycopro::PRO_DESCR);
  label(QStringLiteral("Descrição:"), PRO_DESCR, row, 0);
  grid->addWidget(PRO_DESCR, row++, 1, 1, 4);

  PRO_RESUM = new QLineEdit(box);
  PRO_RESUM->setMaxLength(ycopro::PRO_RESUM.length);
  BindEdit(PRO_RESUM, ycopro::PRO_RESUM);
  label(QStringLiteral("Descrição Resumida:"), PRO_RESUM, row, 0);
  grid->addWidget(PRO_RESUM, row++, 1, 1, 2);

  PRO_TRIBUT = new QLineEdit(box);
  BindEdit(PRO_TRIBUT, ycopro::PRO_TRIBUT);
  auto* btn_trib = new QToolButton(box);
  btn_trib->setObjectName(QStringLiteral("btnPRO_TRIBUT"));
  btn_trib->setText(QStringLiteral("..."));
  TRB_DESCR = Panel(box, "TRB_DESCR");
  label(QStringLiteral("Cód. da Tributação:"), PRO_TRIBUT, row, 0);
  grid->addWidget(PRO_TRIBUT, row, 1);
  grid->addWidget(btn_trib, row, 2);
  grid->addWidget(TRB_DESCR, row++, 3, 1, 2);

  PRO_DEPTO = new QLineEdit(box);
  BindEdit(PRO_DEPTO, ycopro::PRO_DEPTO);
  PRO_GRUPO = new QLineEdit(box);
  PRO_GRUPO->setReadOnly(true);
  PRO_GRUPO->setFocusPolicy(Qt::NoFocus);
  PRO_GRUPO->setStyleSheet(QStringLiteral("background: #d4d0c8;"));
  PRO_GRUPO->setMaximumWidth(40);
  BindEdit(PRO_GRUPO, ycopro::PRO_GRUPO);
  auto* btn_dep = new QToolButton(box);
  btn_dep->setObjectName(QStringLiteral("btnPRO_DEPTO"));
  btn_dep->setText(QStringLiteral("..."));
  DEP_DESCR = Panel(box, "DEP_DESCR");
  label(QStringLiteral("Grupo e Depto:"), PRO_DEPTO, row, 0);
  grid->addWidget(PRO_DEPTO, row, 1);
  grid->addWidget(btn_dep, row, 2);
  auto* dep_line = new QHBoxLayout;
  dep_line->addWidget(PRO_GRUPO);
  dep_line->addWidget(DEP_DESCR, 1);
  grid->addLayout(dep_line, row++, 3, 1, 2);

  PRO_PESAD = combo(ycopro::PRO_PESAD, {"UN", "KG", "LT", "MT", "CM", "OU"}, {"N", "S", "L", "M", "C", "O"});
  label(QStringLiteral("Unidade:"), PRO_PESAD, row, 0);
  grid->addWidget(PRO_PESAD, row, 1);
  auto* litrad = combo(ycopro::PRO_LITRAD, {QStringLiteral("NÃO"), "SIM"}, {"N", "S"});
  label(QStringLiteral("Produto Litrado ?:"), litrad, row, 3);
  grid->addWidget(litrad, row++, 4);
  auto* grpite = combo(ycopro::PRO_GRPITE, {"0", "1", "2", "3", "4", "5"}, {"0", "1", "2", "3", "4", "5"});
  label(QStringLiteral("Grupo de Ítens:"), grpite, row, 0);
  grid->addWidget(grpite, row, 1);
  PRO_CASAD = combo(ycopro::PRO_CASAD, {"2", "3"}, {"2", "3"});
  label(QStringLiteral("Qtd. Casas Dec.:"), PRO_CASAD, row, 3);
  grid->addWidget(PRO_CASAD, row++, 4);

  PRO_PCOVEN = new QLineEdit(box);
  BindEdit(PRO_PCOVEN, ycopro::PRO_PCOVEN, [](const db::Table& t) {
    return QString::fromStdString(
        reg::FormatDecimals(t.asNumber(ycopro::PRO_PCOVEN), reg::PriceDecimals(t.getString(ycopro::PRO_CASAD))));
  });
  label(QStringLiteral("Pço.Venda:"), PRO_PCOVEN, row, 0);
  grid->addWidget(PRO_PCOVEN, row, 1);
  PRO_ESTQ = new QLineEdit(box);
  // the terminals sell below zero, so a stock may be typed negative
  BindEdit(
      PRO_ESTQ, ycopro::PRO_ESTQ,
      [](const db::Table& t) {
        return QString::fromStdString(
            reg::FormatDecimals(t.asNumber(ycopro::PRO_ESTQ), reg::StockDecimals(t.getString(ycopro::PRO_PESAD))));
      },
      true);
  label(QStringLiteral("Estq.Atual:"), PRO_ESTQ, row, 3);
  grid->addWidget(PRO_ESTQ, row++, 4);
  PRO_PROMO = combo(ycopro::PRO_PROMO, {QStringLiteral("NÃO"), "SIM"}, {"N", "S"});
  label(QStringLiteral("Produto em Promoção? :"), PRO_PROMO, row, 0);
  grid->addWidget(PRO_PROMO, row, 1);
  // kept for the tables of older installations; never shown
  PRO_UNMED = combo(ycopro::PRO_UNMED, {"UN", "KG", "MT", "LT"}, {"0", "1", "2", "3"});
  auto* unmed_label = new QLabel(QStringLiteral("Un.Medida:"), box);
  unmed_label->setObjectName(QStringLiteral("lblPRO_UNMED"));
  grid->addWidget(unmed_label, row, 3);
  grid->addWidget(PRO_UNMED, row++, 4);
  unmed_label->hide();
  PRO_UNMED->hide();
  grid->setColumnStretch(3, 0);
  grid->setColumnStretch(4, 1);

  setTabOrder(PRO_PLU, PRO_DESCR);
  setTabOrder(PRO_DESCR, PRO_RESUM);
  setTabOrder(PRO_RESUM, PRO_TRIBUT);
  setTabOrder(PRO_TRIBUT, PRO_DEPTO);
  setTabOrder(PRO_DEPTO, PRO_PESAD);
  setTabOrder(PRO_PESAD, litrad);
  setTabOrder(litrad, grpite);
  setTabOrder(grpite, PRO_CASAD);
  setTabOrder(PRO_CASAD, PRO_PCOVEN);
  setTabOrder(PRO_PCOVEN, PRO_ESTQ);
  setTabOrder(PRO_ESTQ, PRO_PROMO);
  btn_trib->setFocusPolicy(Qt::NoFocus);
  btn_dep->setFocusPolicy(Qt::NoFocus);

  connect(PRO_TRIBUT, &QLineEdit::textChanged, this, Guard([this] { PRO_TRIBUTChange(); }));
  connect(PRO_DEPTO, &QLineEdit::textChanged, this, Guard([this] { PRO_DEPTOChange(); }));
  connect(btn_trib, &QToolButton::clicked, this, Guard([this] { btnTributClick(); }));
  connect(btn_dep, &QToolButton::clicked, this, Guard([this] { btnDeptoClick(); }));
  connect(PRO_PESAD, &QComboBox::activated, this, [this] { ApplyFormats(); });
  connect(PRO_CASAD, &QComboBox::activated, this, [this] { ApplyFormats(); });
  // leaving the decimals or the promotion combo re-applies the price formats
  connect(PRO_CASAD, &TDBComboQuelbrix::Left, this, [this] { ApplyFormats(); });
  connect(PRO_PROMO, &TDBComboQuelbrix::Left, this, [this] { ApplyFormats(); });
  SetEnterChain({PRO_PLU, PRO_DESCR, PRO_RESUM, PRO_TRIBUT, PRO_DEPTO, PRO_PESAD, litrad, grpite, PRO_CASAD,
                 PRO_PCOVEN, PRO_ESTQ, PRO_PROMO},
                PRO_ESTQ);
  Start();
}

TFCadProd_DB::~TFCadProd_DB() = default;

QWidget* TFCadProd_DB::FirstField() const { return Editing() && table_->mode() == db::Mode::kInsert ? PRO_PLU : PRO_DESCR; }

void TFCadProd_DB::SetOrderCaption(bool by_code) {
  setWindowTitle(FromUtf8(reg::ProductCaption(!by_code, table_->recordCount())));
}

void TFCadProd_DB::GridColumnEntered(int column) {
  by_description_ = column != 0;
  table_->setTag(by_description_ ? "Dois" : "Um");
  TFLocaliza::description_search = by_description_;
  SetOrderCaption(!by_description_);
  ReloadGrid();
}

void TFCadProd_DB::RefreshLookups() {
  grp_->refresh();
  trb_->refresh();
  ShowRecord();
}

void TFCadProd_DB::AfterBrowse() {
  PRO_PLU->setMaxLength(kShownCodeLength);
  // after every post and cancel: back to the code order with a fresh count
  if (by_description_ || !table_->tag().empty()) {
    by_description_ = false;
    TFLocaliza::description_search = false;
    table_->setTag("Um");
  }
  SetGridColumn(0);  // the code order is the first column's
  SetOrderCaption(true);
}

CodeKeyRule TFCadProd_DB::FindCodeRule() const {
  if (by_description_ || !check_digit_) return {};
  return {[](std::string_view typed) { return reg::ProductFindKey(typed, true); }, true};
}

void TFCadProd_DB::BeforeEditing() {
  // Inserts and changes always run in code order; the current row stays.
  if (!by_description_) return;
  table_->setTag("Um");
  ReloadGrid();
}

void TFCadProd_DB::AfterAppend() {
  reg::SetNewProductDefaults(*table_);
  remembered_.reset();
  ReadControls();
  PRO_PLU->clear();
  PRO_PLU->setMaxLength(kTypedCodeLength);
  PRO_PLU->setEnabled(true);
}

void TFCadProd_DB::AfterEditStart() {
  remembered_ = reg::RememberProduct(*table_);
  PRO_PLU->setEnabled(false);
}

bool TFCadProd_DB::EnterPressed(QWidget* control) {
  if (control == PRO_PLU && PRO_PLU->text().size() < 13) {
    PRO_PLU->setText(QString::fromStdString(reg::CodeOnEnter(ToLatin1(PRO_PLU->text()), check_digit_)));
  } else if (control == PRO_RESUM && PRO_RESUM->text().trimmed().isEmpty()) {
    PRO_RESUM->setText(FromLatin1(reg::ShortDescriptionOf(ToLatin1(PRO_DESCR->text()))));
  }
  return false;  // then the focus moves on as usual
}

void TFCadProd_DB::ApplyFormats() {
  const int stock = reg::StockDecimals(ToLatin1(PRO_PESAD->Value()));
  const int price = reg::PriceDecimals(ToLatin1(PRO_CASAD->Value()));
  auto format = [](int decimals) {
    return [decimals](double value) { return QString::fromStdString(reg::FormatDecimals(value, decimals)); };
  };
  ShowNumber(PRO_ESTQ, format(stock));
  if (Editing()) ShowNumber(PRO_PCOVEN, format(price));
}

void TFCadProd_DB::ShowRecord() {
  PRO_TRIBUTChange();
  PRO_DEPTOChange();
}

void TFCadProd_DB::PRO_TRIBUTChange() {
  TRB_DESCR->setText(FromLatin1(reg::TaxPanelOfText(*trb_, ToLatin1(PRO_TRIBUT->text()))));
}

void TFCadProd_DB::PRO_DEPTOChange() {
  std::optional<double> group;
  DEP_DESCR->setText(FromLatin1(reg::ProductDepartmentPanel(*grp_, *dep_, NumberOf(PRO_DEPTO), &group)));
  if (group && Editing()) PRO_GRUPO->setText(QString::fromStdString(reg::FormatDecimals(*group, 0)));
}

void TFCadProd_DB::btnTributClick() {
  TFCadTrib picker(this, db_.dir());
  const std::string code = RecordEditor::Pick(picker);
  trb_->refresh();
  PRO_TRIBUT->setText(QString::fromStdString(code));
}

void TFCadProd_DB::btnDeptoClick() {
  TFCadGrpDepto picker(this, db_.dir());
  const std::string code = RecordEditor::Pick(picker);
  grp_->refresh();
  dep_->refresh();
  // closed on an empty table: the boxes are emptied
  const reg::PickedGroup picked = reg::PickedGroupOf(code);
  PRO_GRUPO->setText(QString::fromStdString(picked.group));
  PRO_DEPTO->setText(QString::fromStdString(picked.department));
  PRO_DEPTOChange();
}

reg::Validation TFCadProd_DB::ValidateRecord() {
  ApplyFormats();
  const bool inserting = table_->mode() == db::Mode::kInsert;
  reg::ProductInput in{.code_text = ToLatin1(PRO_PLU->text()),
                       .inserting = inserting,
                       .description = table_->getString(ycopro::PRO_DESCR),
                       .short_description = table_->getString(ycopro::PRO_RESUM),
                       .tax = table_->asNumber(ycopro::PRO_TRIBUT),
                       .group = table_->asNumber(ycopro::PRO_GRUPO),
                       .department = table_->asNumber(ycopro::PRO_DEPTO)};
  auto invalid = reg::ValidateProduct(in, *aux_, *trb_, *grp_, *dep_);
  if (!invalid && inserting) table_->setNumber(ycopro::PRO_PLU, reg::CodeOfText(in.code_text));
  return invalid;
}

bool TFCadProd_DB::BeforePost() {
  const bool inserting = table_->mode() == db::Mode::kInsert;
  reg::StampProduct(*table_, inserting ? std::nullopt : remembered_);
  reg::WriteQueueRow(db_, *table_, check_digit_,
                     inserting ? reg::QueueStatus::kInserted : reg::ChangeStatus(NumberOf(PRO_ESTQ)));
  return true;
}

bool TFCadProd_DB::BeforeDelete() {
  try {
    reg::WriteQueueRow(db_, *table_, check_digit_, reg::QueueStatus::kDeleted);
  } catch (const db::Error&) {
    return false;
  }
  return true;
}

}  // namespace kaslo::ui
