// The main window's menu as one table: every item in display order with its
// caption, its parent submenu, whether it is hidden, and what choosing it
// does. TFMenu builds the menu bar from it; an item that opens a window is
// enabled once that window has registered its opener (common/ui/WindowRegistry.h).
#pragma once

#include <span>
#include <string_view>

namespace kaslo::ui {

enum class MenuAction {
  kSubmenu,    // opens the items whose parent it is
  kSeparator,
  kWindow,     // opens the registered window `target` with `tag` as job kind
  kCommand,    // runs the main window's handler, or the registered command, `target`
};

struct MenuItemDef {
  std::string_view name;     // objectName of the QAction / QMenu ("Menu120")
  std::string_view caption;  // UTF-8, with "&" before the accelerator
  std::string_view parent;   // "" for the menu bar
  MenuAction action;
  std::string_view target = {};
  int tag = 0;
  bool hidden = false;
  bool converts_stock = false;  // runs the stock conversion (when needed) first
  std::string_view shortcut = {};  // QKeySequence text ("Alt+F4")
};

std::span<const MenuItemDef> MainMenuItems();

}  // namespace kaslo::ui
