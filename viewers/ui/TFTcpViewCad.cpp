// The register viewer window.
#include "viewers/ui/TFTcpViewCad.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "common/messages.h"
#include "common/ui/engine_error.h"
#include "common/ui/qt_text.h"

namespace kaslo::ui {

namespace {

namespace viewers = kaslo::viewers;

constexpr int kWidth = 960;
constexpr int kHeight = 600;
// A column is never narrower than this, nor wider than kMaxColumn, whatever
// its header or its widest cell.
constexpr int kMinColumn = 48;
constexpr int kMaxColumn = 260;
// Rows looked at to size the columns: enough for any register's widths
// without measuring every product of a large store.
constexpr int kRowsMeasured = 300;

// One caption and its value label in the terminal group.
QLabel* AddValue(QGridLayout* layout, int column, const char* caption, const char* name, QWidget* owner) {
  auto* text = new QLabel(FromUtf8(caption), owner);
  auto* value = new QLabel(owner);
  value->setObjectName(QString::fromLatin1(name));
  value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  value->setMinimumWidth(100);
  value->setStyleSheet(QStringLiteral("color: #000080; font-weight: bold; padding: 1px 4px;"));
  layout->addWidget(text, 0, column * 2);
  layout->addWidget(value, 0, column * 2 + 1);
  return value;
}

// Widths from the header and the first rows: the widest text plus a margin.
void SizeColumns(QTableWidget* grid) {
  const QFontMetrics cells(grid->font());
  const QFontMetrics headers(grid->horizontalHeader()->font());
  const int rows = std::min(grid->rowCount(), kRowsMeasured);
  for (int c = 0; c < grid->columnCount(); ++c) {
    int width = headers.horizontalAdvance(grid->horizontalHeaderItem(c)->text()) + 16;
    for (int r = 0; r < rows; ++r) {
      if (const QTableWidgetItem* item = grid->item(r, c)) width = std::max(width, cells.horizontalAdvance(item->text()) + 12);
    }
    grid->setColumnWidth(c, std::clamp(width, kMinColumn, kMaxColumn));
  }
}

}  // namespace

TFTcpViewCad::TFTcpViewCad(const OpenContext& context)
    : QDialog(context.owner),
      db_(context.data_dir),
      job_{context.tag, context.terminal, context.file, context.companion},
      title_(context.title),
      GBTer(new QGroupBox(QStringLiteral("  Dados do Terminal  "), this)),
      GBGeral(new QGroupBox(QStringLiteral("  Dados do Cadastro  "), this)),
      Grid(new QTableWidget(GBGeral)),
      BtnSub(new QPushButton(QStringLiteral("&Substituir Cadastro"), this)),
      btnCancela(new QPushButton(QStringLiteral("&Fechar"), this)) {
  setObjectName(QStringLiteral("FTcpViewCad"));
  setWindowTitle(FromUtf8(title_));
  setFixedSize(kWidth, kHeight);
  setWindowFlags((windowFlags() | Qt::MSWindowsFixedSizeDialogHint) & ~Qt::WindowContextHelpButtonHint);

  GBTer->setObjectName(QStringLiteral("GBTer"));
  auto* ter = new QGridLayout(GBTer);
  ter->setHorizontalSpacing(8);
  lbl_estacao = AddValue(ter, 0, "Nº do Terminal:", "lbl_estacao", GBTer);
  lbl_ter_ecfser = AddValue(ter, 1, "IP:", "lbl_ter_ecfser", GBTer);
  lblDate = AddValue(ter, 2, "Dt. Arquivo:", "lblDate", GBTer);
  lblHr = AddValue(ter, 3, "Hr. Arquivo:", "lblHr", GBTer);
  ter->setColumnStretch(8, 1);

  GBGeral->setObjectName(QStringLiteral("GBGeral"));
  Grid->setObjectName(QStringLiteral("Grid"));
  Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid->verticalHeader()->setVisible(false);
  Grid->verticalHeader()->setDefaultSectionSize(Grid->fontMetrics().height() + 6);
  Grid->horizontalHeader()->setHighlightSections(false);
  Grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Grid->setAlternatingRowColors(false);
  auto* geral = new QVBoxLayout(GBGeral);
  geral->addWidget(Grid);

  BtnSub->setObjectName(QStringLiteral("BtnSub"));
  btnCancela->setObjectName(QStringLiteral("btnCancela"));
  BtnSub->setAutoDefault(false);
  btnCancela->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(BtnSub);
  buttons->addWidget(btnCancela);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(GBTer);
  layout->addWidget(GBGeral, 1);
  layout->addLayout(buttons);

  lbl_estacao->setText(FromUtf8(context.terminal));
  lbl_ter_ecfser->setText(FromUtf8(context.address));
  const viewers::FileStamp stamp = viewers::ReceptionFileStamp(context.file);
  lblDate->setText(FromUtf8(stamp.date));
  lblHr->setText(FromUtf8(stamp.time));

  connect(BtnSub, &QPushButton::clicked, this, &TFTcpViewCad::BtnSubClick);
  connect(btnCancela, &QPushButton::clicked, this, &TFTcpViewCad::btnCancelaClick);
}

void TFTcpViewCad::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (shown_) return;
  shown_ = true;
  FormShow();
}

void TFTcpViewCad::FormShow() {
  viewers::RegisterGrid grid;
  if (!viewers::IsRegisterKind(job_.kind) || viewers::IsViewOnly(job_.kind)) {
    BtnSub->setEnabled(false);
    BtnSub->setVisible(false);
  }
  if (!viewers::IsRegisterKind(job_.kind)) {
    // Nothing to show or write for a kind decoded elsewhere.
    ShowGrid(grid);
    return;
  }
  // On an engine error the empty grid is in place before the box.
  if (!RunShowingEngineError([&] { grid = viewers::DisplayRegister(db_, job_); },
                                        [&] { ShowGrid(grid); })) {
    return;
  }
  ShowGrid(grid);
  // A file the display refused would replace the table with nothing.
  if (!viewers::IsViewOnly(job_.kind)) BtnSub->setEnabled(!grid.refused);
  if (!grid.message.empty()) kaslo::Messages().information(grid.message);
}

void TFTcpViewCad::ShowGrid(const viewers::RegisterGrid& grid) {
  Grid->setVisible(false);
  Grid->setUpdatesEnabled(false);
  Grid->clear();
  Grid->setColumnCount(static_cast<int>(grid.headers.size()));
  Grid->setRowCount(static_cast<int>(grid.rows.size()));
  QStringList headers;
  for (const std::string& h : grid.headers) headers << FromUtf8(h);
  Grid->setHorizontalHeaderLabels(headers);

  // The first column is the grid's fixed one: the code or the label, drawn
  // like a header, and so are the other label columns of a fixed display.
  const QBrush fixed = palette().button();
  std::vector<bool> is_label(static_cast<size_t>(Grid->columnCount()), false);
  if (!is_label.empty()) is_label[0] = true;
  for (size_t c : grid.label_columns)
    if (c < is_label.size()) is_label[c] = true;
  for (int r = 0; r < Grid->rowCount(); ++r) {
    const auto& row = grid.rows[static_cast<size_t>(r)];
    for (int c = 0; c < Grid->columnCount() && c < static_cast<int>(row.size()); ++c) {
      auto* item = new QTableWidgetItem(FromUtf8(row[static_cast<size_t>(c)]));
      if (is_label[static_cast<size_t>(c)]) {
        item->setBackground(fixed);
        item->setFlags(Qt::ItemIsEnabled);
      }
      Grid->setItem(r, c, item);
    }
  }
  if (Grid->columnCount() > 0) SizeColumns(Grid);
  // The cursor starts on the first data cell beside the fixed column, not
  // on the code cell, which cannot be selected.
  if (Grid->rowCount() > 0 && Grid->columnCount() > 1) Grid->setCurrentCell(0, 1);
  Grid->setUpdatesEnabled(true);
  Grid->setVisible(true);
  setWindowTitle(FromUtf8(viewers::ViewerCaption(title_, grid)));
}

viewers::RegisterGrid TFTcpViewCad::GridCells() const {
  viewers::RegisterGrid grid;
  for (int c = 0; c < Grid->columnCount(); ++c) {
    const QTableWidgetItem* h = Grid->horizontalHeaderItem(c);
    grid.headers.push_back(h ? ToUtf8(h->text()) : std::string());
  }
  grid.rows.reserve(static_cast<size_t>(Grid->rowCount()));
  for (int r = 0; r < Grid->rowCount(); ++r) {
    auto& row = grid.rows.emplace_back();
    row.reserve(static_cast<size_t>(Grid->columnCount()));
    for (int c = 0; c < Grid->columnCount(); ++c) {
      const QTableWidgetItem* item = Grid->item(r, c);
      row.push_back(item ? ToUtf8(item->text()) : std::string());
    }
  }
  return grid;
}

void TFTcpViewCad::BtnSubClick() {
  if (!kaslo::ConfirmDestructive(std::string(viewers::kConfirmaSubstituir))) return;
  viewers::ReplaceOutcome outcome;
  // An engine failure outside the row walk (a table another station holds,
  // a file that cannot be renamed) reaches the user with its own text.
  if (!RunShowingEngineError([&] { outcome = viewers::ReplaceRegister(db_, job_.kind, GridCells()); })) {
    return;
  }
  if (!outcome.message.empty()) kaslo::Messages().information(viewers::ShownMessage(outcome));
}

void TFTcpViewCad::btnCancelaClick() { reject(); }

// Only the registers decoded here are offered: for any other job kind the
// communication window's request opens nothing.
static const WindowRegistrar kRegistrar{
    "TFTcpViewCad", [](const OpenContext& context) {
      if (!kaslo::viewers::IsRegisterKind(context.tag)) return;
      TFTcpViewCad window(context);
      window.exec();
    }};

}  // namespace kaslo::ui
