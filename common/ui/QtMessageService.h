// The message service of the windows: every box of the system as a
// QMessageBox or a QInputDialog, owned by the active window.
//
// The core writes line breaks as the system does ("\r" or "\r\n"); the boxes
// show them as lines. An information box has the application's name as its
// title unless the caller gives one; a confirmation with a title of its own
// is the system's warning box and carries the error icon ("ATENÇÃO").
#pragma once

#include <QString>

#include "common/messages.h"

namespace kaslo::ui {

class QtMessageService final : public MessageService {
 public:
  void information(const std::string& text, const std::string& title = {}) override;
  void error(const std::string& text, const std::string& title = {}) override;
  bool confirm(const std::string& text, const std::string& title = {},
               DefaultAnswer default_answer = DefaultAnswer::kYes) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& initial) override;
};

// "a\r\nb" and "a\rb" become "a\nb".
QString BoxText(const std::string& utf8);

}  // namespace kaslo::ui
