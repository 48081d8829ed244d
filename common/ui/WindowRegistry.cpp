// The registry of window openers.
#include "common/ui/WindowRegistry.h"

#include <map>

namespace kaslo::ui {

namespace {
std::map<std::string, WindowOpener, std::less<>>& Openers() {
  static std::map<std::string, WindowOpener, std::less<>> openers;
  return openers;
}
}  // namespace

void RegisterWindow(std::string name, WindowOpener opener) { Openers()[std::move(name)] = std::move(opener); }

void UnregisterWindow(std::string_view name) {
  auto it = Openers().find(name);
  if (it != Openers().end()) Openers().erase(it);
}

const WindowOpener* FindWindowOpener(std::string_view name) {
  auto it = Openers().find(name);
  return it == Openers().end() ? nullptr : &it->second;
}

}  // namespace kaslo::ui
