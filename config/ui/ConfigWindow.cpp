#include "config/ui/ConfigWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "common/messages.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/engine_error.h"
#include "common/ui/StatusHints.h"
#include "common/ui/qt_text.h"
#include "config/parameters.h"
#include "db/tables/ycoprm.h"
#include "registers/products.h"
#include "registers/ui/TDBComboQuelbrix.h"

namespace kaslo::ui {

std::function<QString(const db::Table&)> MaskShown(const db::FieldDef& field, const char* mask) {
  return [&field, mask](const db::Table& t) {
    return t.isBlank(field.name) ? QString() : QString::fromStdString(FormataMascara(mask, t.asNumber(field.name)));
  };
}

std::function<QString(const db::Table&)> DecimalsShown(const db::FieldDef& field, int decimals) {
  return [&field, decimals](const db::Table& t) {
    return QString::fromStdString(registers::FormatDecimals(t.asNumber(field.name), decimals));
  };
}

ConfigWindow::ConfigWindow(QWidget* owner, const std::filesystem::path& data_dir) : QDialog(owner), db_(data_dir) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  SpeedBar1 = new QToolBar(this);
  SpeedBar1->setObjectName(QStringLiteral("SpeedBar1"));
  SpeedBar1->setToolButtonStyle(Qt::ToolButtonTextOnly);
  layout->addWidget(SpeedBar1);
  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  layout->addWidget(PageControl1, 1);
  // a page whose tab is disabled may still be chosen by keys or code
  connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
    if (lock_pages_ && index != edit_page_ && AnyEditing()) PageControl1->setCurrentIndex(edit_page_);
  });
  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("StatusBar"));
  status->setSizeGripEnabled(false);
  status0_ = new QLabel(status);
  status0_->setObjectName(QStringLiteral("StatusPanel0"));
  status->addWidget(status0_, 1);
  layout->addWidget(status);
  hints_ = std::make_unique<StatusHints>(this, status0_);
}

ConfigWindow::~ConfigWindow() = default;

QAction* ConfigWindow::AddCommand(const char* name, const QString& caption, const QKeySequence& key,
                                  const QString& hint, std::function<void()> run) {
  QAction* action = ui::AddCommand(this, name, caption, key, hint);
  if (run) connect(action, &QAction::triggered, this, [run] { RunShowingEngineError(run); });
  return action;
}

QAction* ConfigWindow::Command(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
}

void ConfigWindow::BuildBars(const std::vector<QAction*>& menu_items, const std::vector<QAction*>& toolbar) {
  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MainMenu1"));
  QMenu* menu = bar->addMenu(QStringLiteral("&Manutenção"));
  menu->setObjectName(QStringLiteral("Manutencao"));
  for (QAction* a : menu_items) {
    if (a) menu->addAction(a);
    else menu->addSeparator();
  }
  layout()->setMenuBar(bar);
  for (QAction* a : toolbar) {
    if (a) {
      SpeedBar1->addAction(a);
      if (auto* button = SpeedBar1->widgetForAction(a)) {
        button->setObjectName(QStringLiteral("btn") + a->objectName());
        button->setMinimumWidth(72);
      }
      continue;
    }
    auto* spring = new QWidget(SpeedBar1);
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    SpeedBar1->addWidget(spring);
  }
}

QWidget* ConfigWindow::AddPage(const QString& caption) {
  auto* page = new QWidget(PageControl1);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(8, 8, 8, 8);
  PageControl1->addTab(page, caption);
  return page;
}

QGridLayout* ConfigWindow::AddGroup(QWidget* page, const QString& caption, const char* name) {
  auto* group = new QGroupBox(caption, page);
  group->setObjectName(QString::fromLatin1(name));
  page->layout()->addWidget(group);
  auto* grid = new QGridLayout(group);
  grid->setColumnStretch(kSpareColumn, 1);  // the controls keep to the left
  return grid;
}

void ConfigWindow::AddLabel(QGridLayout* grid, const QString& text, QWidget* buddy, int row, int column) {
  auto* label = new QLabel(text, buddy->parentWidget());
  label->setBuddy(buddy);
  grid->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
}

void ConfigWindow::AddRow(QGridLayout* grid, const QString& text, QWidget* control, int row, int column) {
  AddLabel(grid, text, control, row, column);
  grid->addWidget(control, row, column + 1);
}

std::pair<QLineEdit*, QLineEdit*> ConfigWindow::AddCepRow(QGridLayout* grid, db::Table& prm, int row, int column) {
  QWidget* parent = grid->parentWidget();
  auto* cep = new QLineEdit(parent);
  auto* cepp = new QLineEdit(parent);
  Fields(prm).BindEdit(cep, ycoprm::PRM_CEP, MaskShown(ycoprm::PRM_CEP, "00000"));
  Fields(prm).BindEdit(cepp, ycoprm::PRM_CEPP, MaskShown(ycoprm::PRM_CEPP, "000"));
  cep->setFixedWidth(56);
  cepp->setFixedWidth(40);
  auto* line = new QHBoxLayout;
  line->addWidget(cep);
  line->addWidget(new QLabel(QStringLiteral("-"), parent));
  line->addWidget(cepp);
  line->addStretch();
  AddLabel(grid, QStringLiteral("CEP:"), cep, row, column);
  grid->addLayout(line, row, column + 1);
  return {cep, cepp};
}

FieldBindings& ConfigWindow::Fields(db::Table& table) {
  for (auto& [t, bindings] : fields_) {
    if (t == &table) return *bindings;
  }
  fields_.emplace_back(&table, std::make_unique<FieldBindings>(this, table));
  return *fields_.back().second;
}

TDBComboQuelbrix* ConfigWindow::NewCombo(db::Table& table, QWidget* parent, const db::FieldDef& field,
                                         const QStringList& items, const QStringList& values) {
  // the panels are disabled while browsing: a choice is made only in edit
  auto* combo =
      Fields(table).NewCombo(parent, field, items, values, [&table] { return table.mode() != db::Mode::kBrowse; });
  combo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return combo;
}

void ConfigWindow::SetEnterChain(std::vector<QWidget*> controls, std::vector<QWidget*> last) {
  for (QWidget* w : controls) w->installEventFilter(this);
  for (QWidget* w : last) w->installEventFilter(this);
  enter_chain_.insert(enter_chain_.end(), controls.begin(), controls.end());
  enter_chain_.push_back(nullptr);  // chains do not run into each other
  last_fields_.insert(last_fields_.end(), last.begin(), last.end());
}

void ConfigWindow::Start() {
  for (QWidget* panel : panels_) {
    panel->installEventFilter(this);
    for (QWidget* w : panel->findChildren<QWidget*>()) w->installEventFilter(this);
  }
  SetBrowseState();
  ReadAll();
}

bool ConfigWindow::AnyEditing() const {
  return editing_without_table_ || std::any_of(fields_.begin(), fields_.end(),
                     [](const auto& f) { return f.first->mode() != db::Mode::kBrowse; });
}

void ConfigWindow::SetBrowseState() {
  for (QWidget* panel : panels_) panel->setEnabled(false);
  for (int i = 0; i < PageControl1->count(); ++i) PageControl1->setTabEnabled(i, true);
  hints_->SetOn(true);
  UpdateCommands(false);
}

void ConfigWindow::SetEditingState() {
  for (QWidget* panel : panels_) panel->setEnabled(true);
  edit_page_ = PageControl1->currentIndex();
  if (lock_pages_) {
    for (int i = 0; i < PageControl1->count(); ++i) PageControl1->setTabEnabled(i, i == PageControl1->currentIndex());
  }
  hints_->SetOn(false);
  UpdateCommands(true);
}

void ConfigWindow::ReadAll() {
  for (auto& [table, bindings] : fields_) bindings->Read();
  ShowRows();
}

// ---- commands

void ConfigWindow::Alterar() {
  if (AnyEditing()) return;
  db::Table* page_table = PageTable();
  if (!page_table) {
    BeginEditWithoutTable();
    return;
  }
  db::Table& table = *page_table;
  std::string cause;
  try {
    if (!BeginEdit(table)) return;
  } catch (const db::Error& e) {
    cause = e.what();
  }
  if (table.mode() == db::Mode::kBrowse) {
    Messages().information(config::EditFailure(config::kMsgAlterarFalhou, cause));
    return;
  }
  ReadAll();
  SetEditingState();
  if (QWidget* first = PageFirstField()) first->setFocus();
}

void ConfigWindow::BeginEditWithoutTable() {
  editing_without_table_ = true;
  SetEditingState();
  if (QWidget* first = PageFirstField()) first->setFocus();
}

void ConfigWindow::Cancelar() {
  if (!AnyEditing()) return;
  CancelAll();
  SetBrowseState();
  ReadAll();
  AfterCancel();
}

void ConfigWindow::CancelAll() {
  editing_without_table_ = false;
  for (auto& [table, bindings] : fields_) {
    if (table->mode() != db::Mode::kBrowse) table->cancel();
  }
}

void ConfigWindow::Gravar() {
  if (editing_without_table_) {
    if (!Validate()) return;
    editing_without_table_ = false;
    SetBrowseState();
    AfterPost();
    return;
  }
  db::Table* page_table = PageTable();
  if (!page_table || page_table->mode() == db::Mode::kBrowse) return;
  db::Table& table = *page_table;
  if (!Validate() || !Fields(table).Write()) return;
  BeforePost(table);
  bool posted = false;
  std::string cause;
  try {
    posted = table.post();
  } catch (const db::Error& e) {
    cause = e.what();
  }
  if (!posted) {
    Messages().information(PostFailedText(cause));
    return;  // still editing: the user may try again or cancel
  }
  SetBrowseState();
  ReadAll();
  AfterPost();
}

void ConfigWindow::OpenCommunication(int job, std::optional<kaslo::DateTime> date_time) {
  const WindowOpener* opener = FindWindowOpener("TFCargaTcp");
  if (!opener) return;
  ScopedProgress wait("Aguarde, verificando estações...");
  OpenContext context;
  context.owner = this;
  context.data_dir = db_.dir();
  context.tag = job;
  context.date_time = date_time;
  RunShowingEngineError([&] { (*opener)(context); });
}

void ConfigWindow::Sair() {
  if (AnyEditing()) return;
  close();
}

// ---- events

bool ConfigWindow::event(QEvent* e) {
  // Qt sends events (the title's) while the constructor has not made hints_ yet.
  if (hints_ && hints_->StatusTip(e)) return true;
  return QDialog::event(e);
}

bool ConfigWindow::eventFilter(QObject* watched, QEvent* e) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (e->type() == QEvent::Enter && w) {
    hints_->Entered(w);
  } else if (e->type() == QEvent::KeyPress && w) {
    auto* key = static_cast<QKeyEvent*>(e);
    const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier;
    if (enter && std::find(last_fields_.begin(), last_fields_.end(), w) != last_fields_.end()) {
      RunShowingEngineError([&] { Gravar(); });
      return true;
    }
    const auto at = std::find(enter_chain_.begin(), enter_chain_.end(), w);
    if (enter && at != enter_chain_.end()) {
      if (QWidget* next = *(at + 1)) next->setFocus();
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void ConfigWindow::closeEvent(QCloseEvent* event) {
  // the close box discards what is pending; Esc goes through reject()
  CancelAll();
  QDialog::closeEvent(event);
}

void ConfigWindow::reject() {
  if (AnyEditing()) return;
  QDialog::reject();
}

}  // namespace kaslo::ui
