// The progress port: long work reports a text, a maximum and steps here.
// The GUI shows the progress window FIndexa, the command line a progress
// line on stderr, tests a recorder. One port is installed for the process;
// without one, reports go nowhere.
#pragma once

#include <string>
#include <string_view>

namespace kaslo {

class ProgressPort {
 public:
  virtual ~ProgressPort() = default;
  // Shows the text (UTF-8) and repaints at once.
  virtual void show(const std::string& text) = 0;
  // Sets the bar's maximum (0 hides the bar) and puts it back to 0.
  virtual void setMaximum(int maximum) = 0;
  // Moves the bar to a position.
  virtual void setPosition(int position) = 0;
  virtual void hide() = 0;
};

// Installs the port used by MostraProgresso and FechaProgresso; nullptr
// restores the silent default. The caller keeps ownership.
void SetProgressPort(ProgressPort* port);
ProgressPort& Progress();

// Shows a progress text for a scope and hides it at the scope's end, also
// when an exception leaves it. Given a maximum, the bar is shown as well and
// put back to 0 on closing; without one the bar is not touched.
class ScopedProgress {
 public:
  explicit ScopedProgress(std::string_view text, int maximum = 0);
  ~ScopedProgress();
  ScopedProgress(const ScopedProgress&) = delete;
  ScopedProgress& operator=(const ScopedProgress&) = delete;

  // Replaces the text; the bar stays as it is.
  void text(std::string_view text);
  // Advances the bar by one. The port hears of the move only when the bar
  // moves by a visible amount (1/kVisibleSteps of the maximum) and at the
  // last step: a file of thousands of records would otherwise spend longer
  // repainting the bar than reading.
  void step();
  // Hides before the scope ends; later calls and the destructor do nothing.
  void close();

  static constexpr int kVisibleSteps = 200;

 private:
  bool open_ = true;
  int maximum_ = 0;
  int position_ = 0;
  int reported_ = 0;
};

// Installs a progress port for a scope; the port installed before comes
// back at its end. The caller keeps ownership of both.
class ScopedProgressPort {
 public:
  explicit ScopedProgressPort(ProgressPort& port);
  ~ScopedProgressPort();
  ScopedProgressPort(const ScopedProgressPort&) = delete;
  ScopedProgressPort& operator=(const ScopedProgressPort&) = delete;

 private:
  ProgressPort* previous_;
};

// The system's two progress routines.
void MostraProgresso(const std::string& texto);
void FechaProgresso();

}  // namespace kaslo
