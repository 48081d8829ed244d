// kaslo startup | reindex | convert-stock: the start-up and maintenance
// steps of the main window, for a data directory given on the command line.
#include <iostream>
#include <string>

#include "app/maintenance.h"
#include "app/startup.h"
#include "cli/commands.h"
#include "common/messages.h"
#include "common/progress.h"
#include "db/tableset_ops.h"

namespace kaslo::cli {
namespace {

// The core writes line breaks as "\r" or "\r\n".
std::string PlainLines(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

// Progress texts one a line on stdout, as the progress window would show them.
class PrintedProgress final : public ProgressPort {
 public:
  void show(const std::string& text) override { std::cout << text << "\n" << std::flush; }
  void setMaximum(int) override {}
  void setPosition(int) override {}
  void hide() override {}
};

struct MessagesScope {
  explicit MessagesScope(MessageService* service) { SetMessageService(service); }
  ~MessagesScope() { SetMessageService(nullptr); }
};

// Boxes on the terminal; a question is answered on stdin ("s" or "y" is Yes).
class ConsoleMessages final : public MessageService {
 public:
  explicit ConsoleMessages(bool assume_yes) : assume_yes_(assume_yes) {}
  void information(const std::string& text, const std::string&) override { std::cout << PlainLines(text) << "\n"; }
  void error(const std::string& text, const std::string&) override { std::cerr << PlainLines(text) << "\n"; }
  bool confirm(const std::string& text, const std::string& title, DefaultAnswer) override {
    if (!title.empty()) std::cout << title << "\n";
    std::cout << PlainLines(text);
    if (assume_yes_) {
      std::cout << " s\n";
      return true;
    }
    std::cout << " [s/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return !answer.empty() && (answer[0] == 's' || answer[0] == 'S' || answer[0] == 'y' || answer[0] == 'Y');
  }
  std::optional<std::string> input(const std::string&, const std::string& prompt, const std::string&) override {
    std::cout << prompt << ": " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return std::nullopt;
    return answer;
  }

 private:
  bool assume_yes_;
};

db::Database OpenDataDirectory(const std::string& dir) {
  std::filesystem::path resolved = app::ResolveDataDirectory(std::filesystem::current_path(), dir);
  if (auto problem = app::DataDirectoryProblem(resolved)) throw CommandFailed{1, PlainLines(*problem)};
  return db::Database(resolved);
}

void Register(CLI::App& app) {
  static std::string dir;
  static bool assume_yes = false;
  static PrintedProgress progress;

  CLI::App* startup = app.add_subcommand("startup", "Table upgrade from templates and index check");
  startup->add_option("DIR", dir, "data directory")->required();
  startup->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ScopedProgressPort scope(progress);
    app::TableUpgrade(db);
    db::IndexCheck(db);
  });

  CLI::App* reindex = app.add_subcommand("reindex", "Delete every .mdx and rebuild the index tags");
  reindex->add_option("DIR", dir, "data directory")->required();
  reindex->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ScopedProgressPort scope(progress);
    app::Reindex(db);
  });

  CLI::App* convert = app.add_subcommand("convert-stock", "Recreate PRO_ESTQ of Ycopro as N(10,3), emptying the stock");
  convert->add_option("DIR", dir, "data directory")->required();
  convert->add_flag("--yes", assume_yes, "do not ask");
  convert->callback([] {
    db::Database db = OpenDataDirectory(dir);
    ConsoleMessages messages(assume_yes);
    MessagesScope scope(&messages);
    if (!app::ConversaoBancoDados(db)) throw CommandFailed{2, ""};
  });
}

const RegisterCommands kRegistrar(&Register);

}  // namespace
}  // namespace kaslo::cli
