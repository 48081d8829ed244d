// The communication window.
#include "comm/ui/TFCargaTcp.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "comm/received_files.h"
#include "comm/server.h"
#include "comm/ui/TFTextViewer.h"
#include "common/messages.h"
#include "common/progress.h"
#include "common/ui/engine_error.h"
#include "common/ui/WindowRegistry.h"
#include "common/ui/qt_text.h"
#include "db/error.h"

namespace kaslo::ui {

namespace {

constexpr const char* kHint = "Dê um duplo clique (ou tecle Enter) sobre o terminal para selecioná-lo.";
constexpr const char* kNoViewer = "O visualizador de cadastros não está disponível.";

enum Column { kColTerminal, kColAddress, kColStatus, kColProgress };

// Row colours by state image.
QColor RowColour(int image) {
  switch (image) {
    case comm::kImageSelected: return QColor(0xDD, 0xDD, 0xFF);
    case comm::kImageCommunicating: return QColor(0x80, 0xFF, 0x80);
    case comm::kImageUnused: return QColor(0xFF, 0x80, 0xFF);
    case comm::kImageWaiting: return QColor(0xFF, 0xFF, 0x80);
    case comm::kImageFinished: return QColor(0xDF, 0xE0, 0xE1);
    default: return QColor(0xFF, 0xFF, 0xFF);
  }
}

// The state images, drawn rather than shipped: a terminal screen whose mark
// tells the state (empty, ticked, arrows, hourglass, flag).
QIcon StateImage(int image) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor frame(0x33, 0x44, 0x66);
  p.setPen(QPen(frame, 1));
  p.setBrush(image == comm::kImageStandBy ? QColor(0xF4, 0xF4, 0xF4) : RowColour(image).darker(115));
  p.drawRoundedRect(QRectF(1.5, 1.5, 13, 10), 2, 2);
  p.drawLine(QPointF(5, 14.5), QPointF(11, 14.5));
  QPen mark(frame, 1.6);
  p.setPen(mark);
  p.setBrush(Qt::NoBrush);
  switch (image) {
    case comm::kImageSelected:
    case comm::kImageFinished: {
      QPainterPath tick;
      tick.moveTo(4.5, 6.5);
      tick.lineTo(7, 9);
      tick.lineTo(11.5, 4);
      p.drawPath(tick);
      break;
    }
    case comm::kImageCommunicating:
      p.drawLine(QPointF(4, 5), QPointF(12, 5));
      p.drawLine(QPointF(10, 3.5), QPointF(12, 5));
      p.drawLine(QPointF(4, 8.5), QPointF(12, 8.5));
      p.drawLine(QPointF(4, 8.5), QPointF(6, 10));
      break;
    case comm::kImageWaiting:
      p.drawLine(QPointF(5, 4), QPointF(11, 4));
      p.drawLine(QPointF(5, 9.5), QPointF(11, 9.5));
      p.drawLine(QPointF(5.5, 4), QPointF(10.5, 9.5));
      p.drawLine(QPointF(10.5, 4), QPointF(5.5, 9.5));
      break;
    case comm::kImageUnused:
      p.drawEllipse(QPointF(8, 6.5), 2.5, 2.5);
      break;
    default:
      break;
  }
  return QIcon(pixmap);
}

// Draws the chosen row with a frame instead of the selection or hover tint,
// which would hide the row's state colour (waiting, communicating, finished).
class RowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem plain(option);
    plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
    QStyledItemDelegate::paint(painter, plain, index);
    if (!(option.state & QStyle::State_Selected)) return;
    painter->save();
    painter->setPen(QPen(option.palette.color(QPalette::Active, QPalette::Highlight), 2));
    const QRectF r = QRectF(option.rect).adjusted(1, 1, -1, -1);
    painter->drawLine(r.topLeft(), r.topRight());
    painter->drawLine(r.bottomLeft(), r.bottomRight());
    if (index.column() == 0) painter->drawLine(r.topLeft(), r.bottomLeft());
    if (index.column() == index.model()->columnCount() - 1) painter->drawLine(r.topRight(), r.bottomRight());
    painter->restore();
  }
};

}  // namespace

TFCargaTcp::TFCargaTcp(const db::Database& db, int tag, QWidget* owner, comm::JobOptions options)
    : QDialog(owner),
      db_(db),
      tag_(tag),
      runner_(std::make_unique<comm::JobRunner>(db_, tag, std::move(options))),
      ListPlu(new QTreeWidget(this)),
      lblPorta(new QLabel(QStringLiteral("Porta:"), this)),
      edtPorta(new QLineEdit(QStringLiteral("3010"), this)),
      btnIndividual(new QPushButton(QStringLiteral("Seleção Individual"), this)),
      btnTodos(new QPushButton(QStringLiteral("Selecionar &Todos"), this)),
      btnIniciar(new QPushButton(QStringLiteral("Iniciar &Servidor"), this)),
      btnVisualizar(new QPushButton(QStringLiteral("&Visualizar Dados"), this)),
      lblDica(new QLabel(FromUtf8(kHint), this)),
      lblAguarde(new QLabel(this)) {
  setObjectName(QStringLiteral("FCargaTcp"));
  setModal(true);
  ListPlu->setObjectName(QStringLiteral("ListPlu"));
  lblPorta->setObjectName(QStringLiteral("lblPorta"));
  edtPorta->setObjectName(QStringLiteral("edtPorta"));
  btnIndividual->setObjectName(QStringLiteral("btnIndividual"));
  btnTodos->setObjectName(QStringLiteral("btnTodos"));
  btnIniciar->setObjectName(QStringLiteral("btnIniciar"));
  btnVisualizar->setObjectName(QStringLiteral("btnVisualizar"));
  lblDica->setObjectName(QStringLiteral("lblDica"));
  lblAguarde->setObjectName(QStringLiteral("lblAguarde"));

  for (int i = 0; i < static_cast<int>(images_.size()); ++i) images_[static_cast<size_t>(i)] = StateImage(i);

  ListPlu->setColumnCount(4);
  ListPlu->setHeaderLabels({QStringLiteral("Terminal"), QStringLiteral("Endereço IP"), QStringLiteral("Status"),
                            QStringLiteral("Progresso")});
  ListPlu->setRootIsDecorated(false);
  ListPlu->setItemsExpandable(false);
  ListPlu->setUniformRowHeights(true);
  ListPlu->setSelectionMode(QAbstractItemView::SingleSelection);
  ListPlu->setAllColumnsShowFocus(true);
  ListPlu->setExpandsOnDoubleClick(false);
  const int widths[] = {80, 144, 180, 90};
  for (int c = 0; c < 4; ++c) ListPlu->setColumnWidth(c, widths[c]);
  ListPlu->header()->setStretchLastSection(false);
  ListPlu->header()->setSectionsMovable(false);
  ListPlu->headerItem()->setTextAlignment(kColStatus, Qt::AlignCenter);
  ListPlu->headerItem()->setTextAlignment(kColProgress, Qt::AlignCenter);
  ListPlu->setMinimumSize(80 + 144 + 180 + 90 + 4, 240);
  ListPlu->installEventFilter(this);
  ListPlu->setItemDelegate(new RowDelegate(ListPlu));

  edtPorta->setMaximumWidth(70);
  // Enter in the port box starts the server; left to Qt, the first button
  // ("Seleção Individual") would be the default and Enter would clear the
  // selection the user has just made.
  btnIniciar->setDefault(true);
  lblPorta->setBuddy(edtPorta);
  lblAguarde->setStyleSheet(QStringLiteral("font-weight: bold; color: #1d3f73;"));
  lblAguarde->setMinimumHeight(lblAguarde->fontMetrics().height() + 4);

  auto* port_row = new QHBoxLayout;
  port_row->addWidget(lblPorta);
  port_row->addWidget(edtPorta);
  port_row->addStretch();
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(btnIndividual);
  buttons->addWidget(btnTodos);
  buttons->addSpacing(12);
  buttons->addWidget(btnIniciar);
  buttons->addWidget(btnVisualizar);
  buttons->addSpacing(12);
  buttons->addLayout(port_row);
  buttons->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(ListPlu, 1);
  top->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(lblDica);
  layout->addWidget(lblAguarde);

  connect(ListPlu, &QTreeWidget::itemDoubleClicked, this, &TFCargaTcp::ListPluDblClick);
  connect(btnIndividual, &QPushButton::clicked, this, &TFCargaTcp::btnIndividualClick);
  connect(btnTodos, &QPushButton::clicked, this, &TFCargaTcp::btnTodosClick);
  connect(btnIniciar, &QPushButton::clicked, this, &TFCargaTcp::btnIniciarClick);
  connect(btnVisualizar, &QPushButton::clicked, this, &TFCargaTcp::btnVisualizarClick);

  FormCreate();
}

TFCargaTcp::~TFCargaTcp() {
  // The server's threads are joined here, before the widgets they post to go.
  runner_.reset();
}

void TFCargaTcp::FormCreate() {
  setWindowTitle(FromUtf8(runner_->caption()));
  btnVisualizar->setEnabled(comm::IsReadingJob(tag_));
  // Connection threads only post; RowsChanged() runs here.
  runner_->setWakeup([this] { QMetaObject::invokeMethod(this, &TFCargaTcp::RowsChanged, Qt::QueuedConnection); });
  runner_->setLabelListener([this](const std::string&) { ShowLabel(); });
  DrawAll();
}

void TFCargaTcp::DrawAll() {
  for (size_t i = 0; i < runner_->list().size(); ++i) DrawRow(i);
}

void TFCargaTcp::DrawRow(size_t row) {
  const comm::TerminalRow r = runner_->list().row(row);
  while (static_cast<size_t>(ListPlu->topLevelItemCount()) <= row) {
    auto* item = new QTreeWidgetItem(ListPlu);
    item->setTextAlignment(kColStatus, Qt::AlignCenter);
    item->setTextAlignment(kColProgress, Qt::AlignCenter);
  }
  QTreeWidgetItem* item = ListPlu->topLevelItem(static_cast<int>(row));
  // A finished row reads "Comunicação Finalizada" even before the runner
  // has renamed its status.
  std::string status = r.status;
  if (r.image == comm::kImageFinished && status == comm::kStatusCommunicating) status = comm::kStatusFinished;
  item->setText(kColTerminal, FromLatin1(r.caption));
  item->setText(kColAddress, FromLatin1(r.address));
  item->setText(kColStatus, FromUtf8(status));
  item->setText(kColProgress, FromUtf8(r.progress));
  const int image = r.image >= 0 && r.image < static_cast<int>(images_.size()) ? r.image : comm::kImageStandBy;
  item->setIcon(kColTerminal, images_[static_cast<size_t>(image)]);
  item->setData(kColTerminal, Qt::UserRole, image);
  const QBrush background(RowColour(image));
  for (int c = 0; c < 4; ++c) {
    item->setBackground(c, background);
    item->setForeground(c, QBrush(Qt::black));
  }
}

void TFCargaTcp::RowsChanged() {
  if (!runner_) return;
  for (size_t row : runner_->processChanges()) DrawRow(row);
  ShowLabel();
}

void TFCargaTcp::ShowLabel() {
  lblAguarde->setText(FromUtf8(runner_->label()));
  if (runner_->label() == comm::kLabelPreparing) {
    // The preparation runs on this thread: show the state before it starts.
    btnIndividual->setEnabled(false);
    btnTodos->setEnabled(false);
    btnIniciar->setEnabled(false);
    edtPorta->setEnabled(false);  // the server listens on the port it was started with
    lblDica->setEnabled(false);
    lblAguarde->repaint();
  }
}

void TFCargaTcp::ListPluDblClick(QTreeWidgetItem* item) {
  if (!item) return;
  // Enter acts on the focused row, which the keyboard leaves unselected;
  // select it, so that "&Visualizar Dados" later finds the row the user chose.
  ListPlu->setCurrentItem(item);
  item->setSelected(true);
  runner_->toggleRow(static_cast<size_t>(ListPlu->indexOfTopLevelItem(item)));
  RowsChanged();
}

bool TFCargaTcp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListPlu && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      ListPluDblClick(ListPlu->currentItem());
      return true;  // not the dialog's default button
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TFCargaTcp::btnIndividualClick() {
  runner_->selectNone();
  RowsChanged();
}

void TFCargaTcp::btnTodosClick() {
  runner_->selectAll();
  RowsChanged();
}

void TFCargaTcp::btnIniciarClick() {
  const uint16_t port = comm::PortFromText(ToLatin1(edtPorta->text()));
  comm::JobRunner::StartResult result;
  // The preparation stopped half-way: nothing is waiting for a terminal.
  if (!RunShowingEngineError([&] { result = runner_->start(port); }, [&] { RowsChanged(); })) return;
  RowsChanged();
  using R = comm::JobRunner::StartResult;
  if (result == R::kNoRecords) {
    reject();
    return;
  }
  if (result == R::kStarted && !runner_->listening()) {
    // The rows would wait for terminals that can never reach us.
    kaslo::Messages().error("Não foi possível iniciar o servidor de comunicação na porta " + std::to_string(port) +
                            ".\r" + runner_->serverError());
  }
}

void TFCargaTcp::btnVisualizarClick() {
  std::optional<comm::TerminalRow> row;
  QTreeWidgetItem* current = ListPlu->currentItem();
  if (current && current->isSelected())
    row = runner_->list().row(static_cast<size_t>(ListPlu->indexOfTopLevelItem(current)));
  const comm::ViewTarget target = comm::DataToView(tag_, db_.dir(), row);
  switch (target.kind) {
    case comm::ViewTarget::kMessage:
      if (!target.message.empty()) kaslo::Messages().information(target.message);
      return;
    case comm::ViewTarget::kTextEditor:
      ShowTextFile(target.file, this);
      return;
    case comm::ViewTarget::kRegisterViewer: {
      const WindowOpener* opener = FindWindowOpener("TFTcpViewCad");
      if (!opener) {
        kaslo::Messages().information(kNoViewer);
        return;
      }
      OpenContext context;
      context.owner = this;
      context.data_dir = db_.dir();
      context.tag = tag_;
      context.title = runner_->caption();
      context.terminal = row->caption;
      context.address = row->address;
      context.file = target.file;
      context.companion = target.companion;
      RunShowingEngineError([&] { (*opener)(context); });
      return;
    }
  }
}

void TFCargaTcp::done(int result) {
  if (!closed_) {
    closed_ = true;
    RunShowingEngineError([&] { runner_->close(); });
    ShowLabel();
  }
  QDialog::done(result);
}

void OpenTFCargaTcp(const OpenContext& context) {
  comm::JobOptions options;
  options.date_time = context.date_time;
  TFCargaTcp window(db::Database(context.data_dir), context.tag, context.owner, options);
  // A caller's wait window ("Aguarde, verificando estações...") ends here.
  FechaProgresso();
  window.exec();
}

static const WindowRegistrar kRegistrar{"TFCargaTcp", OpenTFCargaTcp};

}  // namespace kaslo::ui
