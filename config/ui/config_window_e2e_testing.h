// "Lêr" and "Enviar" of a configuration window in the end-to-end tests: the
// communication window it opens serves kaslo-terminal over loopback.
#pragma once

#include <QAction>
#include <functional>

#include "comm/ui/terminal_session_testing.h"
#include "common/ui/ModalHelper.h"
#include "registers/ui/editor_test_support.h"

namespace kaslo::ui::config_window_test {

// Runs the command ("Ler" or "Enviar") of the window's page: the
// communication window it opens serves terminal 1 (`answers` in the
// terminal's send folder, under `dir`), `then` runs on it, and it is
// closed. The job kind it was opened with.
inline int Communicate(QWidget& w, const char* command, kaslo::testing::ScriptedMessages& messages,
                       const std::filesystem::path& dir,
                       const terminal_session::Files& answers,
                       const std::function<void(TFCargaTcp&)>& then = {}) {
  using namespace terminal_session;
  std::filesystem::remove_all(dir / "terminal");
  int tag = 0;
  WhenModal(
      [&](QWidget* d) {
        if (auto* window = qobject_cast<TFCargaTcp*>(d)) {
          tag = window->tag();
          QString out;
          ServeJob(*window, messages, dir, answers, "4", By::kMouse, out);
          if (then && !QTest::currentTestFailed()) then(*window);
          CloseCommunication(*window);
        }
        if (d->isVisible()) d->close();
      },
      kLongWaitMs);
  editor_test::Action(w, command)->trigger();
  return tag;
}

// What the terminal received of a file.
inline std::string Received(const std::filesystem::path& dir, const char* file) {
  return comm::testing::Slurp(dir / "terminal" / "in" / file);
}

}  // namespace kaslo::ui::config_window_test
