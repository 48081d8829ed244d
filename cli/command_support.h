// What the commands share: the data directory they work on, and the boxes
// and progress texts of the core on the terminal.
#pragma once

#include <optional>
#include <string>

#include "common/messages.h"
#include "common/progress.h"
#include "db/database.h"

namespace kaslo::cli {

// The core writes line breaks as "\r" or "\r\n".
std::string PlainLines(const std::string& text);

struct DirectoryNeeds {
  bool write = true;    // files are written there (a probe file is written and removed)
  bool tables = false;  // it holds tables of the set
};

// The data directory `dir`, made absolute. Throws CommandFailed (exit 1)
// when it is not a directory, cannot be written or holds no table, as
// `needs` asks.
db::Database OpenDataDirectory(const std::string& dir, DirectoryNeeds needs = {});

// Progress texts one a line on stdout, as the progress window would show them.
class PrintedProgress final : public ProgressPort {
 public:
  void show(const std::string& text) override;
  void setMaximum(int) override {}
  void setPosition(int) override {}
  void hide() override {}
};

// Boxes on the terminal: information on stdout, errors on stderr. A question
// is printed on stdout and answered on stdin: "s" or "y" is yes, an empty
// line the question's default. When stdin is not a terminal, or ends
// without an answer, the answer is no: a script destroys nothing unless it
// says --yes, which answers yes to every question.
class ConsoleMessages final : public MessageService {
 public:
  explicit ConsoleMessages(bool assume_yes) : assume_yes_(assume_yes) {}
  void information(const std::string& text, const std::string& title) override;
  void error(const std::string& text, const std::string& title) override;
  bool confirm(const std::string& text, const std::string& title, DefaultAnswer default_answer) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& initial) override;

 private:
  bool assume_yes_;
};

}  // namespace kaslo::cli
