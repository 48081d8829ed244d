// The progress port: long work reports a text, a maximum and steps here.
// The GUI shows the progress window FIndexa, the command line a progress
// line on stderr, tests a recorder. One port is installed for the process;
// without one, reports go nowhere.
#pragma once

#include <string>

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

}  // namespace kaslo

// The system's two progress routines.
void MostraProgresso(const std::string& texto);
void FechaProgresso();
