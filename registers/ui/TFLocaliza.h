// TFLocaliza ("Localizar Registro"), the find dialog of every editor: a
// borderless 358 x 72 box placed 15 pixels below the top of the calling
// window, whose edit box moves the caller's table, as the user types, to the
// nearest key of its current tag.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "db/table.h"

class QGroupBox;
class QLineEdit;

namespace kaslo::ui {

// How the find dialog turns a typed code into the key that it searches and
// compares on Enter; unset, the text is searched as typed.
struct CodeKeyRule {
  std::function<std::string(std::string_view)> key;  // Latin-1 in and out
  bool hyphen = false;  // "-" may be typed in a search on a numeric field
};

class TFLocaliza final : public QDialog {
  Q_OBJECT

 public:
  // `labels` are the display labels of the tag's fields, in key order.
  // `moved` runs after every move of the table, so the caller's grid follows.
  TFLocaliza(QWidget* caller, db::Table& table, const std::vector<std::string>& labels,
             std::function<void()> moved, CodeKeyRule rule = {});

  // Set by the product window while its grid is ordered by description.
  static bool description_search;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void cProcurarChange(const QString& text);
  void EnterPressed();
  std::string Key() const;  // the text searched (Latin-1)

  db::Table& table_;
  std::function<void()> moved_;
  CodeKeyRule rule_;
  bool numeric_ = false;
  QGroupBox* GB;
  QLineEdit* cProcurar;
};

}  // namespace kaslo::ui
