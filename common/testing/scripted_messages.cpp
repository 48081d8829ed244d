// Recording message service and progress port for tests.
#include "common/testing/scripted_messages.h"

#include <algorithm>

namespace kaslo::testing {

ScriptedMessages::ScriptedMessages() { SetMessageService(this); }
ScriptedMessages::~ScriptedMessages() {
  if (&Messages() == this) SetMessageService(nullptr);
}

void ScriptedMessages::QueueConfirm(bool yes) { confirms_.push_back(yes); }
void ScriptedMessages::QueueInput(std::optional<std::string> answer) {
  inputs_.push_back(std::move(answer));
}

std::vector<std::string> ScriptedMessages::texts() const {
  std::vector<std::string> out;
  for (const RecordedMessage& m : messages_) out.push_back(m.text);
  return out;
}

void ScriptedMessages::Clear() {
  messages_.clear();
  confirms_.clear();
  inputs_.clear();
  unanswered_ = 0;
}

void ScriptedMessages::information(const std::string& text, const std::string& title) {
  messages_.push_back({MessageKind::kInformation, text, title});
}

void ScriptedMessages::error(const std::string& text, const std::string& title) {
  messages_.push_back({MessageKind::kError, text, title});
}

bool ScriptedMessages::confirm(const std::string& text, const std::string& title,
                               DefaultAnswer default_answer) {
  messages_.push_back({MessageKind::kConfirm, text, title, default_answer});
  if (confirms_.empty()) {
    ++unanswered_;
    return false;
  }
  bool yes = confirms_.front();
  confirms_.pop_front();
  return yes;
}

std::optional<std::string> ScriptedMessages::input(const std::string& title, const std::string& prompt,
                                                   const std::string&) {
  messages_.push_back({MessageKind::kInput, prompt, title});
  if (inputs_.empty()) {
    ++unanswered_;
    return std::nullopt;
  }
  std::optional<std::string> answer = std::move(inputs_.front());
  inputs_.pop_front();
  return answer;
}

RecordingProgress::RecordingProgress() { SetProgressPort(this); }
RecordingProgress::~RecordingProgress() {
  if (&Progress() == this) SetProgressPort(nullptr);
}

bool RecordingProgress::Saw(const std::string& text) const {
  return std::find(texts_.begin(), texts_.end(), text) != texts_.end();
}

void RecordingProgress::show(const std::string& text) {
  texts_.push_back(text);
  visible_ = true;
}

void RecordingProgress::hide() {
  visible_ = false;
  ++hides_;
}

}  // namespace kaslo::testing
