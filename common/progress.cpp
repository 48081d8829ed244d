// The progress guards.
#include "common/progress.h"

#include <algorithm>
#include <cstdint>

namespace kaslo {

ScopedProgress::ScopedProgress(std::string_view text, int maximum) : maximum_(maximum) {
  MostraProgresso(std::string(text));
  if (maximum_ > 0) Progress().setMaximum(maximum_);
}

ScopedProgress::~ScopedProgress() { close(); }

void ScopedProgress::text(std::string_view text) { MostraProgresso(std::string(text)); }

void ScopedProgress::step() {
  ++position_;
  const int64_t stride = std::max<int64_t>(1, maximum_ / kVisibleSteps);
  if (position_ - reported_ < stride && position_ < maximum_) return;
  reported_ = position_;
  Progress().setPosition(position_);
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
