#include "config/ui/TerminalKeyboard.h"

#include <QGridLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "config/keyboard.h"

namespace kaslo::ui {

namespace {

constexpr int kKeyWidth = 62;
constexpr int kKeyHeight = 46;

struct Colours {
  QColor top, bottom, text;
};

Colours ColoursOf(KeyCap::Kind kind) {
  switch (kind) {
    case KeyCap::Kind::kProgrammable: return {QColor(252, 250, 240), QColor(226, 222, 205), QColor(20, 20, 20)};
    case KeyCap::Kind::kDigit: return {QColor(96, 100, 108), QColor(58, 61, 67), QColor(250, 250, 250)};
    case KeyCap::Kind::kFunction: return {QColor(70, 110, 160), QColor(40, 72, 115), QColor(250, 250, 250)};
    case KeyCap::Kind::kEnter: return {QColor(70, 150, 90), QColor(38, 105, 58), QColor(250, 250, 250)};
    case KeyCap::Kind::kBlank: return {QColor(96, 100, 108), QColor(58, 61, 67), QColor(250, 250, 250)};
  }
  return {};
}

}  // namespace

KeyCap::KeyCap(QWidget* parent, Kind kind, int position, const QString& legend)
    : QAbstractButton(parent), kind_(kind), position_(position) {
  setText(legend);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  setMinimumSize(kKeyWidth, kKeyHeight);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize KeyCap::sizeHint() const { return {kKeyWidth, kKeyHeight}; }

void KeyCap::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const Colours c = ColoursOf(kind_);
  const QRectF cap = QRectF(rect()).adjusted(2, 2, -2, -4);
  // the shadow under the cap, then the cap; pressed, the cap sinks
  const qreal sink = isDown() ? 2 : 0;
  QPainterPath shadow;
  shadow.addRoundedRect(cap.translated(0, 3), 6, 6);
  p.fillPath(shadow, QColor(0, 0, 0, 110));
  QPainterPath path;
  path.addRoundedRect(cap.translated(0, sink), 6, 6);
  QLinearGradient gradient(cap.topLeft(), cap.bottomLeft());
  gradient.setColorAt(0, underMouse() ? c.top.lighter(108) : c.top);
  gradient.setColorAt(1, c.bottom);
  p.fillPath(path, gradient);
  p.setPen(QPen(c.bottom.darker(140), 1));
  p.drawPath(path);

  p.setPen(c.text);
  if (kind_ == Kind::kProgrammable) {
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.7);
    p.setFont(small);
    p.setPen(QColor(120, 112, 90));
    p.drawText(cap.adjusted(5, 2 + sink, 0, 0), Qt::AlignLeft | Qt::AlignTop, QString(QChar('A' + position_ - 1)));
    p.setPen(c.text);
  }
  QFont bold = font();
  bold.setBold(true);
  if (kind_ == Kind::kProgrammable || kind_ == Kind::kDigit) bold.setPointSizeF(bold.pointSizeF() * 1.25);
  p.setFont(bold);
  p.drawText(cap.translated(0, sink), Qt::AlignCenter, text());
}

TerminalKeyboard::TerminalKeyboard(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("TerminalKeyboard"));
  setStyleSheet(QStringLiteral("#TerminalKeyboard { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                               "stop:0 #3b3f46, stop:1 #23262b); border-radius: 12px; }"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(16, 16, 16, 16);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(4);

  // the keys are lettered A to Z by position, as the keyboard reading lists them
  int position = 1;
  for (int row = 0; row < 5; ++row) {
    for (int column = 0; column < 5; ++column, ++position) {
      if (!config::IsProgrammableKey(position)) ++position;
      auto* key = new KeyCap(this, KeyCap::Kind::kProgrammable, position, QString());
      key->setObjectName(QStringLiteral("Tecla%1").arg(position));
      keys_[position] = key;
      grid->addWidget(key, row, column);
      connect(key, &QAbstractButton::clicked, this, [this, position] { emit programmableClicked(position); });
    }
  }
  grid->setColumnMinimumWidth(5, 22);  // the gap before the pad

  struct Fixed {
    const char* legend;
    KeyCap::Kind kind;
    int row, column, rows, columns;
  };
  using K = KeyCap::Kind;
  const Fixed pad[] = {
      {"LIMPA", K::kFunction, 0, 6, 1, 1}, {"ESC", K::kFunction, 0, 7, 1, 1},  {"FC", K::kFunction, 0, 8, 1, 1},
      {"X", K::kFunction, 0, 9, 1, 1},    {"7", K::kDigit, 1, 6, 1, 1},       {"8", K::kDigit, 1, 7, 1, 1},
      {"9", K::kDigit, 1, 8, 1, 1},        {"", K::kBlank, 1, 9, 1, 1},       {"4", K::kDigit, 2, 6, 1, 1},
      {"5", K::kDigit, 2, 7, 1, 1},        {"6", K::kDigit, 2, 8, 1, 1},       {"", K::kBlank, 2, 9, 1, 1},
      {"1", K::kDigit, 3, 6, 1, 1},        {"2", K::kDigit, 3, 7, 1, 1},       {"3", K::kDigit, 3, 8, 1, 1},
      {"ENTER", K::kEnter, 3, 9, 2, 1},   {"0", K::kDigit, 4, 6, 1, 3},
  };
  int blank = 0;
  for (const Fixed& f : pad) {
    auto* key = new KeyCap(this, f.kind, 0, QString::fromLatin1(f.legend));
    // "Tecla7" is the programmable key of position 7, the digit is "TeclaDigito7"
    const QString legend = QString::fromLatin1(f.legend);
    key->setObjectName(f.kind == K::kBlank   ? QStringLiteral("TeclaBranca%1").arg(++blank)
                       : f.kind == K::kDigit ? QStringLiteral("TeclaDigito") + legend
                                             : QStringLiteral("Tecla") + legend);
    grid->addWidget(key, f.row, f.column, f.rows, f.columns);
    connect(key, &QAbstractButton::clicked, this, &TerminalKeyboard::fixedClicked);
  }
}

KeyCap* TerminalKeyboard::Key(int position) const {
  const auto it = keys_.find(position);
  return it == keys_.end() ? nullptr : it->second;
}

QString TerminalKeyboard::Legend(int position) const {
  KeyCap* key = Key(position);
  return key ? key->text() : QString();
}

void TerminalKeyboard::SetLegend(int position, const QString& legend, const QString& hint) {
  if (KeyCap* key = Key(position)) {
    key->setText(legend);
    key->setToolTip(hint);
  }
}

void TerminalKeyboard::ClearAll() {
  for (auto& [position, key] : keys_) SetLegend(position, QString(), QString());
}

}  // namespace kaslo::ui
