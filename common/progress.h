// The progress port: long work reports a text, a maximum and steps here.
// The GUI shows the progress window FIndexa, the command line a progress
// line on stderr, tests a recorder. One port is installed for the process;
// without one, reports go nowhere.
#pragma once

#include <algorithm>
#include <cstdint>
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

// Which positions of a bar are worth showing: a move by a visible amount
// (1/kCount of the maximum) and the last one. A file of thousands of records
// would otherwise spend longer repainting the bar than reading.
class VisibleSteps {
 public:
  static constexpr int64_t kCount = 200;
  explicit VisibleSteps(int64_t maximum) : maximum_(maximum), stride_(std::max<int64_t>(1, maximum / kCount)) {}
  // True when the bar should move to `position`.
  bool Worth(int64_t position) {
    if (position - shown_ < stride_ && position < maximum_) return false;
    shown_ = position;
    return true;
  }

 private:
  int64_t maximum_, stride_;
  int64_t shown_ = 0;
};

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
  // Advances the bar by one; the port hears of the visible steps only.
  void step();
  // Hides before the scope ends; later calls and the destructor do nothing.
  void close();


 private:
  bool open_ = true;
  int maximum_ = 0;
  int position_ = 0;
  VisibleSteps visible_;
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
