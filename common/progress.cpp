// The progress guards.
#include "common/progress.h"

#include <algorithm>
#include <cstdint>

namespace kaslo {

ScopedProgress::ScopedProgress(std::string_view text, int maximum) : maximum_(maximum), visible_(maximum) {
  MostraProgresso(std::string(text));
  if (maximum_ > 0) Progress().setMaximum(maximum_);
}

ScopedProgress::~ScopedProgress() { close(); }

void ScopedProgress::text(std::string_view text) { MostraProgresso(std::string(text)); }

void ScopedProgress::step() {
  ++position_;
  if (visible_.Worth(position_)) Progress().setPosition(position_);
}

void ScopedProgress::close() {
  if (!open_) return;
  open_ = false;
  if (maximum_ > 0) Progress().setMaximum(0);
  FechaProgresso();
}

ScopedProgressPort::ScopedProgressPort(ProgressPort& port) : previous_(&Progress()) { SetProgressPort(&port); }

ScopedProgressPort::~ScopedProgressPort() { SetProgressPort(previous_); }

}  // namespace kaslo
