// How the main menu reaches the windows of the other folders without
// depending on them: each window registers an opener under its class name
// (or a command under its name), and the menu enables an item only when its
// opener is registered.
//
// In a window's .cpp file:
//
//   static const kaslo::ui::WindowRegistrar kRegistrar{
//       "TFCargaTcp", [](const kaslo::ui::OpenContext& context) {
//         TFCargaTcp window(context.owner);
//         window.SetTipo(context.tag);
//         window.exec();
//       }};
//
// The opener creates the window with the main window as owner, passes the
// job kind (the menu item's tag) where it has one, shows it modally and
// destroys it. kaslo_roza links every *_ui library whole, so that these
// static registrars are kept by the linker.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/clock.h"

class QWidget;

namespace kaslo::ui {

struct OpenContext {
  QWidget* owner = nullptr;
  std::filesystem::path data_dir;  // the database DBM1 lies here
  int tag = 0;                     // the menu item's tag (job kind)
  // Set by the communication window when it opens a register viewer on a
  // finished terminal; empty otherwise.
  std::string title;                // the job's title (the caller's caption)
  std::string terminal;             // terminal number, as the list shows it
  std::string address;              // terminal address, as the list shows it
  std::filesystem::path file;       // the main reception file
  std::filesystem::path companion;  // the payment types' second file (jobs 12, 20)
  // The date and hour that the technical intervention window gives the
  // date-and-time load (191); now when unset.
  std::optional<kaslo::DateTime> date_time;
};

using WindowOpener = std::function<void(const OpenContext&)>;

// Registers (or replaces) the opener of a name. Called before main() by
// static registrars and by tests; not thread-safe.
void RegisterWindow(std::string name, WindowOpener opener);
// Removes a name (tests).
void UnregisterWindow(std::string_view name);
// nullptr when nothing is registered under the name.
const WindowOpener* FindWindowOpener(std::string_view name);

struct WindowRegistrar {
  WindowRegistrar(std::string name, WindowOpener opener) {
    RegisterWindow(std::move(name), std::move(opener));
  }
};

}  // namespace kaslo::ui
