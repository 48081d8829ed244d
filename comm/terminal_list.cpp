// The terminal list under its mutex; observers are called unlocked.
#include "comm/terminal_list.h"

#include <charconv>

namespace kaslo::comm {
namespace {

bool Qualifies(const TerminalRow& row, const std::string& address) {
  return row.address == address &&
         (row.status == kStatusWaiting || row.status == kStatusCommunicating);
}

// The caption as a terminal number; 0 when it is not a whole number.
int CaptionNumber(const std::string& caption) {
  int value = 0;
  auto [end, ec] = std::from_chars(caption.data(), caption.data() + caption.size(), value);
  if (ec != std::errc() || end != caption.data() + caption.size()) return 0;
  return value;
}

}  // namespace

void TerminalList::setObserver(Observer observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

size_t TerminalList::addRow(TerminalRow row) {
  size_t index;
  {
    std::lock_guard lock(mutex_);
    rows_.push_back(std::move(row));
    index = rows_.size() - 1;
  }
  Notify(index);
  return index;
}

size_t TerminalList::size() const {
  std::lock_guard lock(mutex_);
  return rows_.size();
}

TerminalRow TerminalList::row(size_t index) const {
  std::lock_guard lock(mutex_);
  return index < rows_.size() ? rows_[index] : TerminalRow{};
}

std::vector<TerminalRow> TerminalList::snapshot() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

void TerminalList::update(size_t index, const std::function<void(TerminalRow&)>& change) {
  {
    std::lock_guard lock(mutex_);
    if (index >= rows_.size()) return;
    change(rows_[index]);
  }
  Notify(index);
}

int TerminalList::checkAndMark(const std::string& address, bool mark) {
  std::optional<size_t> changed;
  int result = 0;
  {
    std::lock_guard lock(mutex_);
    bool any = false;
    std::optional<size_t> found;
    for (size_t i = 0; i < rows_.size() && !found; ++i) {
      if (rows_[i].address != address) continue;
      any = true;
      if (Qualifies(rows_[i], address)) found = i;
    }
    if (found) {
      TerminalRow& row = rows_[*found];
      result = CaptionNumber(row.caption);
      if (mark) {
        row.status = kStatusCommunicating;
        row.image = kImageCommunicating;
        changed = found;
      }
    } else if (!any) {
      rows_.push_back(TerminalRow{"", address, kStatusWaiting, "0 %", kImageCommunicating});
      changed = rows_.size() - 1;
      result = static_cast<int>(rows_.size());
    }
  }
  if (changed) Notify(*changed);
  return result;
}

int TerminalList::numberOnly(const std::string& address) const {
  std::lock_guard lock(mutex_);
  for (const TerminalRow& row : rows_) {
    if (Qualifies(row, address)) return CaptionNumber(row.caption);
  }
  return 0;
}

std::optional<size_t> TerminalList::rowIndex(const std::string& address) const {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].address == address) return i;
  }
  return std::nullopt;
}

void TerminalList::Notify(size_t index) const {
  Observer observer;
  {
    std::lock_guard lock(mutex_);
    observer = observer_;
  }
  if (observer) observer(index);
}

}  // namespace kaslo::comm
