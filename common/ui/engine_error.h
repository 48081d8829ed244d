// Window commands and engine errors: a command of the user that meets an
// error of the table engine or of the file system stops there, the progress
// window closes and the user reads the engine's own text in an error box;
// the window stays usable. Any other exception goes on.
//
//   if (!kaslo::ui::RunShowingEngineError([&] { outcome = Replace(db_); })) return;
//   kaslo::ui::RunShowingEngineError([&] { grid = Display(db_); }, [&] { ShowGrid(grid); });
#pragma once

#include <filesystem>
#include <utility>

#include "common/messages.h"
#include "common/progress.h"
#include "db/error.h"

namespace kaslo::ui {

// Runs `command`; true when it ran without an engine error. On an error,
// `before_box` runs after the progress window closes and before the box,
// for a window that should look right while the user reads why.
template <typename Command, typename BeforeBox>
bool RunShowingEngineError(Command&& command, BeforeBox&& before_box) {
  const auto show = [&](const char* text) {
    FechaProgresso();
    before_box();
    Messages().error(text);
  };
  try {
    std::forward<Command>(command)();
    return true;
  } catch (const db::Error& e) {
    show(e.what());
  } catch (const std::filesystem::filesystem_error& e) {
    show(e.what());
  }
  return false;
}

template <typename Command>
bool RunShowingEngineError(Command&& command) {
  return RunShowingEngineError(std::forward<Command>(command), [] {});
}

}  // namespace kaslo::ui
