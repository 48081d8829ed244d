// The record editor frame.
#include "registers/ui/RecordEditor.h"

#include <algorithm>
#include <filesystem>

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/messages.h"
#include "common/ui/StatusHints.h"
#include "common/ui/qt_text.h"
#include "registers/ui/TDBComboQuelbrix.h"
#include "registers/ui/TFLocaliza.h"

namespace kaslo::ui {

namespace reg = kaslo::registers;

namespace {

bool SameName(std::string_view a, std::string_view b) {
  return QString::fromLatin1(a.data(), static_cast<qsizetype>(a.size()))
             .compare(QString::fromLatin1(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive) == 0;
}

// The view selects by the position clicked once its own handling of a press
// is over, even when the click re-sorted the rows under the mouse; after
// each mouse and key event the frame shows the current record's row again.
class RecordGrid final : public QTableView {
 public:
  RecordGrid(QWidget* parent, std::function<void()> settled) : QTableView(parent), settled_(std::move(settled)) {}

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    QTableView::mousePressEvent(e);
    settled_();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    QTableView::mouseMoveEvent(e);
    if (e->buttons() != Qt::NoButton) settled_();  // a drag selects
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QTableView::mouseReleaseEvent(e);
    settled_();
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QTableView::mouseDoubleClickEvent(e);
    settled_();
  }
  void keyPressEvent(QKeyEvent* e) override {
    QTableView::keyPressEvent(e);
    settled_();
  }

 private:
  std::function<void()> settled_;
};

}  // namespace

RecordEditor::RecordEditor(QWidget* owner, const std::filesystem::path& data_dir, Options options)
    : QDialog(owner), db_(data_dir), options_(std::move(options)) {
  table_ = db_.open(options_.table, {.tag = "Um", .exclusive = false});
  table_->setBeforePost([this](db::Table&) {
    // the second validation: aborts silently
    if (ValidateRecord()) return false;
    return BeforePost();
  });
  table_->setBeforeDelete([this](db::Table&) { return BeforeDelete(); });
  fields_ = std::make_unique<FieldBindings>(this, *table_);
  BuildFrame();
}

RecordEditor::~RecordEditor() = default;

QAction* RecordEditor::AddCommand(const char* name, const QString& caption, const QKeySequence& key,
                                  const QString& hint) {
  return ui::AddCommand(this, name, caption, key, hint);
}

void RecordEditor::BuildFrame() {
  setWindowTitle(options_.title + FromUtf8(reg::kOrdenadoCodigo));
  resize(760, 560);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  act_incluir_ = AddCommand("Incluir", QStringLiteral("&Incluir"), QKeySequence(Qt::ALT | Qt::Key_I),
                            QStringLiteral("Incluir|Inclui um novo registro no cadastro"));
  act_alterar_ = AddCommand("Alterar", QStringLiteral("&Alterar"), QKeySequence(Qt::ALT | Qt::Key_A),
                            QStringLiteral("Alterar|Altera o registro do cadastro atual"));
  act_excluir_ = AddCommand("Excluir", QStringLiteral("&Excluir"), QKeySequence(Qt::ALT | Qt::Key_E),
                            QStringLiteral("Excluir|Excluir do cadastro o registro atual"));
  act_cancelar_ = AddCommand("Cancelar", QStringLiteral("&Cancelar"), QKeySequence(Qt::ALT | Qt::Key_C),
                             QStringLiteral("Cancelar|Cancelar as modificações efetuadas no cadastro atual"));
  act_gravar_ = AddCommand("Gravar", QStringLiteral("&Gravar"), QKeySequence(Qt::ALT | Qt::Key_G),
                           QStringLiteral("Gravar|Grava as alterações efetuadas no cadastro atual"));
  act_localizar_ = AddCommand("Localizar", QStringLiteral("&Localizar"), QKeySequence(Qt::ALT | Qt::Key_L),
                              QStringLiteral("Localizar registro|Localiza um determinado registro"));
  act_sair_ = AddCommand("Sair", QStringLiteral("Sair"), QKeySequence(Qt::Key_Escape),
                         QStringLiteral("Sair|Sair da tela atual"));
  if (!options_.view_only) {
    connect(act_incluir_, &QAction::triggered, this, Guard([this] { Incluir(); }));
    connect(act_alterar_, &QAction::triggered, this, Guard([this] { Alterar(); }));
    connect(act_excluir_, &QAction::triggered, this, Guard([this] { Excluir(); }));
    connect(act_cancelar_, &QAction::triggered, this, Guard([this] { Cancelar(); }));
    connect(act_gravar_, &QAction::triggered, this, Guard([this] { Gravar(); }));
  }
  connect(act_localizar_, &QAction::triggered, this, Guard([this] { Localizar(); }));
  connect(act_sair_, &QAction::triggered, this, Guard([this] { Sair(); }));

  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* menu = MainMenu1->addMenu(QStringLiteral("&Manutenção"));
  menu->setObjectName(QStringLiteral("Manutencao"));
  if (options_.view_only) {
    menu->addAction(act_localizar_);
    menu->addAction(act_sair_);
  } else {
    menu->addAction(act_incluir_);
    menu->addAction(act_alterar_);
    menu->addAction(act_excluir_);
    if (options_.separator_after_excluir) menu->addSeparator();
    menu->addAction(act_cancelar_);
    menu->addAction(act_gravar_);
    menu->addSeparator();
    menu->addAction(act_localizar_);
    menu->addSeparator();
    menu->addAction(act_sair_);
  }
  layout->setMenuBar(MainMenu1);

  SpeedBar1 = new QToolBar(this);
  SpeedBar1->setObjectName(QStringLiteral("SpeedBar1"));
  SpeedBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  for (QAction* a : {act_incluir_, act_alterar_, act_excluir_, act_cancelar_, act_gravar_, act_localizar_}) {
    SpeedBar1->addAction(a);
  }
  auto* spring = new QWidget(SpeedBar1);
  spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  SpeedBar1->addWidget(spring);
  SpeedBar1->addAction(act_sair_);
  for (QAction* a : SpeedBar1->actions()) {
    if (auto* button = SpeedBar1->widgetForAction(a); button && !a->objectName().isEmpty()) {
      button->setObjectName(QStringLiteral("btn") + a->objectName());
      button->setMinimumWidth(72);
    }
  }
  layout->addWidget(SpeedBar1);

  Grid = new RecordGrid(this, [this] {
    if (!Editing()) ShowCurrentRow();
  });
  Grid->setObjectName(QStringLiteral("Grid"));
  Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  Grid->setSelectionMode(QAbstractItemView::SingleSelection);
  Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Grid->verticalHeader()->setDefaultSectionSize(20);
  Grid->verticalHeader()->setFixedWidth(14);
  Grid->horizontalHeader()->setStretchLastSection(true);
  Grid->horizontalHeader()->setHighlightSections(false);
  Grid->setAlternatingRowColors(false);
  layout->addWidget(Grid, 1);

  Target_ = new QWidget(this);
  Target_->setObjectName(QStringLiteral("Target"));
  layout->addWidget(Target_);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar"));
  status->setSizeGripEnabled(false);
  status0_ = new QLabel(status);
  status0_->setObjectName(QStringLiteral("StatusPanel0"));
  status1_ = new QLabel(status);
  status1_->setObjectName(QStringLiteral("StatusPanel1"));
  status1_->setAlignment(Qt::AlignCenter);
  status1_->setMinimumWidth(140);
  status->addWidget(status0_, 1);
  status->addPermanentWidget(status1_);
  hints_ = std::make_unique<StatusHints>(this, status0_);
  layout->addWidget(status);
}

void RecordEditor::SetColumns(std::vector<GridColumn> columns) {
  model_ = new RecordTableModel(*table_, std::move(columns), this);
  Grid->setModel(model_);
  connect(Grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            RunShowingEngineError([&] { GridRowChanged(current.row()); });
          });
  connect(Grid->selectionModel(), &QItemSelectionModel::currentColumnChanged, this,
          [this](const QModelIndex& current) {
            if (following_ || !current.isValid()) return;
            RunShowingEngineError([&] { GridColumnChanged(current.column()); });
          });
}

void RecordEditor::GridColumnChanged(int column) {
  if (column == grid_column_) return;
  grid_column_ = column;
  if (!Editing()) {
    // GridColExit: rows that other stations wrote show up
    table_->refresh();
    ShowTotal();
    RefreshLookups();
  }
  GridColumnEntered(column);
}

void RecordEditor::BindEdit(QLineEdit* edit, const db::FieldDef& field, std::function<QString(const db::Table&)> show,
                            bool negative) {
  fields_->BindEdit(edit, field, std::move(show), negative);
}

void RecordEditor::ShowNumber(QLineEdit* edit, const std::function<QString(double)>& format) {
  fields_->ShowNumber(edit, format);
}

void RecordEditor::BindCombo(TDBComboQuelbrix* combo, const db::FieldDef& field) {
  fields_->BindCombo(combo, field, [this] { return EditFromControl(); });
}

TDBComboQuelbrix* RecordEditor::NewCombo(QWidget* parent, const db::FieldDef& field, const QStringList& items,
                                         const QStringList& values) {
  return fields_->NewCombo(parent, field, items, values, [this] { return EditFromControl(); });
}

void RecordEditor::AddLabel(QGridLayout* grid, const QString& text, QWidget* buddy, int row, int column) {
  auto* label = new QLabel(text, buddy->parentWidget());
  label->setBuddy(buddy);
  grid->addWidget(label, row, column);
}

void RecordEditor::SetEnterChain(std::vector<QWidget*> controls, QWidget* last) {
  enter_chain_ = std::move(controls);
  last_field_ = last;
  for (QWidget* w : enter_chain_) w->installEventFilter(this);
}

void RecordEditor::Start() {
  // the detail panel is disabled while browsing, yet its long hints show
  Target_->installEventFilter(this);
  for (QWidget* w : Target_->findChildren<QWidget*>()) w->installEventFilter(this);
  SetOrderCaption(true);
  SetBrowseState();
  table_->last();
  table_->first();
  FollowTable();
}

// ---- states

void RecordEditor::SyncState() {
  if (Editing()) SetEditingState();
  else SetBrowseState();
}

void RecordEditor::SetBrowseState() {
  Grid->setEnabled(true);
  for (QAction* a : {act_incluir_, act_alterar_, act_excluir_, act_sair_, act_localizar_}) a->setEnabled(true);
  act_gravar_->setEnabled(false);
  act_cancelar_->setEnabled(false);
  if (options_.view_only) {
    for (QAction* a : {act_incluir_, act_alterar_, act_excluir_}) a->setEnabled(false);
  }
  hints_->SetOn(true);
  Target_->setEnabled(false);
  table_->refresh();
  if (table_->empty()) {
    for (QAction* a : {act_alterar_, act_excluir_, act_localizar_}) a->setEnabled(false);
  }
  ShowTotal();
  AfterBrowse();
}

void RecordEditor::SetEditingState() {
  Grid->setEnabled(false);
  for (QAction* a : {act_incluir_, act_excluir_, act_alterar_, act_sair_, act_localizar_}) a->setEnabled(false);
  act_gravar_->setEnabled(true);
  act_cancelar_->setEnabled(true);
  hints_->SetOn(false);
  Target_->setEnabled(true);
}

void RecordEditor::ShowTotal() {
  if (options_.total_in_status) status1_->setText(FromUtf8(reg::TotalText(table_->recordCount())));
}

void RecordEditor::SetOrderCaption(bool by_code) {
  setWindowTitle(options_.title + FromUtf8(by_code ? reg::kOrdenadoCodigo : options_.second_order));
}

// ---- grid and controls

void RecordEditor::ReloadGrid() {
  if (!model_) return;
  following_ = true;
  model_->Reload();
  following_ = false;
  FollowTable();
}

void RecordEditor::FollowTable() {
  ShowCurrentRow();
  if (model_ && Grid->currentIndex().isValid()) Grid->scrollTo(Grid->currentIndex());
  ReadControls();
}

void RecordEditor::ShowCurrentRow() {
  if (!model_) return;
  // a new record has no row yet: nothing existing is highlighted
  const bool row_shown = table_->mode() != db::Mode::kInsert && HasRow();
  const int row = row_shown ? model_->RowOf(table_->recNo()) : -1;
  QItemSelectionModel* selection = Grid->selectionModel();
  following_ = true;
  if (row < 0) {
    selection->clear();
  } else {
    const QModelIndex current = model_->index(row, std::max(0, grid_column_));
    const QModelIndexList rows = selection->selectedRows();
    if (selection->currentIndex() != current || rows.size() != 1 || rows.front().row() != row) {
      selection->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
  }
  following_ = false;
}

void RecordEditor::GridRowChanged(int row) {
  if (following_ || row < 0 || Editing()) return;
  table_->go(model_->RecAt(row));
  ReadControls();
}

void RecordEditor::ReadControls() {
  fields_->Read();
  ShowRecord();
}

bool RecordEditor::WriteControls() { return fields_->Write(); }

bool RecordEditor::EditFromControl() {
  if (Editing()) return true;
  if (options_.view_only || table_->eof() || table_->recNo() == 0) return false;
  try {
    table_->edit();
  } catch (const db::Error&) {
    return false;  // the choice is ignored
  }
  SetEditingState();
  AfterEditStart();
  return true;
}

void RecordEditor::FocusField(const std::string& name) {
  if (auto* w = findChild<QWidget*>(FromLatin1(name))) w->setFocus();
}

void RecordEditor::ShowInvalid(const reg::Invalid& invalid) {
  kaslo::Messages().information(invalid.message);
  if (invalid.cancel_record) {
    Cancelar();
    return;
  }
  FocusField(invalid.focus);
}

// ---- commands

void RecordEditor::Incluir() {
  if (Editing() || options_.view_only) return;
  table_->refresh();
  if (options_.limit > 0 && table_->recordCount() >= static_cast<size_t>(options_.limit)) {
    kaslo::Messages().information(reg::LimitMessage(options_.limit));
    return;
  }
  BeforeEditing();
  try {
    table_->append();
  } catch (const db::Error&) {
    kaslo::Messages().information(AppendFailedText());
    return;
  }
  ReadControls();
  SetEditingState();
  ShowCurrentRow();
  AfterAppend();
  if (QWidget* first = FirstField()) first->setFocus();
}

void RecordEditor::Alterar() {
  if (Editing() || options_.view_only || table_->eof() || table_->recNo() == 0) return;
  BeforeEditing();
  try {
    table_->edit();
  } catch (const db::Error&) {
    kaslo::Messages().information(std::string(reg::kMsgAlterarFalhou));
    return;
  }
  ReadControls();
  SetEditingState();
  AfterEditStart();
  if (QWidget* first = FirstField()) first->setFocus();
}

bool RecordEditor::DeleteRecord() { return table_->remove(); }

void RecordEditor::Excluir() {
  if (Editing() || options_.view_only || table_->eof() || table_->recNo() == 0) return;
  if (!kaslo::ConfirmDestructive(std::string(reg::kMsgConfirmaExclusao))) return;
  bool deleted = false;
  try {
    deleted = DeleteRecord();
  } catch (const db::Error&) {
  }
  if (!deleted) kaslo::Messages().information(std::string(reg::kMsgExcluirFalhou));
  SetBrowseState();
  ReloadGrid();
}

void RecordEditor::Cancelar() {
  if (!Editing()) return;
  table_->cancel();
  SetBrowseState();
  ReloadGrid();
  Grid->setFocus();
}

bool RecordEditor::PostRecord() { return table_->post(); }

void RecordEditor::Gravar() {
  if (!Editing()) return;
  if (!WriteControls()) return;
  if (auto invalid = ValidateRecord()) {
    ShowInvalid(*invalid);
    return;
  }
  const bool inserting = table_->mode() == db::Mode::kInsert;
  bool posted = false;
  try {
    posted = PostRecord();
  } catch (const db::Error&) {
  }
  if (!posted) {
    if (Editing()) {
      kaslo::Messages().information(std::string(inserting ? InsertFailedText() : EditFailedText()));
    }
    return;
  }
  SetBrowseState();
  ReloadGrid();
  Grid->setFocus();
}

std::vector<std::string> RecordEditor::FindLabels() const {
  std::vector<std::string> labels;
  for (const std::string& field : table_->tagFields(table_->tag())) {
    std::string label = field;
    for (const auto& column : model_->columns()) {
      if (SameName(column.field, field)) label = ToUtf8(column.title);
    }
    labels.push_back(label);
  }
  return labels;
}

void RecordEditor::Localizar() {
  if (Editing() || table_->empty()) return;
  RunFind();
  FollowTable();
}

void RecordEditor::RunFind() {
  TFLocaliza find(this, *table_, FindLabels(), [this] { FollowTable(); }, FindCodeRule());
  find.exec();
}

void RecordEditor::Sair() {
  if (Editing()) return;
  close();
}

std::string RecordEditor::PickerCode() {
  if (table_->eof() || table_->recNo() == 0) return {};
  return table_->getString(std::string_view(table_->tagFields("Um").front()));
}

std::string RecordEditor::Pick(RecordEditor& picker) {
  picker.exec();
  return ToUtf8(picker.windowTitle());
}

void RecordEditor::GridColumnEntered(int) {
  const bool to_code = !SameName(table_->tag(), "Um");
  table_->setTag(to_code ? "Um" : "Dois");
  SetOrderCaption(to_code);
  ReloadGrid();
}

// ---- events

bool RecordEditor::event(QEvent* e) {
  // AppEvents1: the long hint of the command under the mouse
  // Qt sends events (the title's) while the constructor has not made hints_ yet.
  if (hints_ && hints_->StatusTip(e)) return true;
  return QDialog::event(e);
}

bool RecordEditor::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (e->type() == QEvent::Enter && w && (w == Target_ || Target_->isAncestorOf(w))) {
    hints_->Entered(w);
  } else if (e->type() == QEvent::KeyPress && std::find(enter_chain_.begin(), enter_chain_.end(), w) != enter_chain_.end()) {
    auto* key = static_cast<QKeyEvent*>(e);
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
      RunShowingEngineError([&] {
        if (EnterPressed(w)) return;
        if (w == last_field_) Gravar();
        else focusNextChild();
      });
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void RecordEditor::closeEvent(QCloseEvent* event) {
  // The close box closes even while editing; done() discards the pending
  // changes. Esc still goes through reject().
  if (Editing()) {
    done(QDialog::Rejected);
    event->accept();
    return;
  }
  QDialog::closeEvent(event);
}

void RecordEditor::reject() {
  // Esc closes only while browsing
  if (Editing()) return;
  QDialog::reject();
}

void RecordEditor::done(int result) {
  if (!closing_) {
    closing_ = true;
    if (Editing()) table_->cancel();  // the close box discards the pending changes
    setWindowTitle(FromUtf8(PickerCode()));
  }
  QDialog::done(result);
}

}  // namespace kaslo::ui
