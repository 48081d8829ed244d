// A message service and a progress port for tests: they record every box and
// every progress text, and give queued answers to questions, so that a test
// can check the exact Portuguese texts and the flow after Yes or No without
// a person at the screen. Plain C++, usable by core and window tests alike.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/messages.h"
#include "common/progress.h"

namespace kaslo::testing {

enum class MessageKind { kInformation, kError, kConfirm, kInput };

struct RecordedMessage {
  MessageKind kind;
  std::string text;   // for kInput, the prompt
  std::string title;
  DefaultAnswer default_answer = DefaultAnswer::kYes;  // for kConfirm
};

// Installs itself as the process's message service on construction and puts
// the default back on destruction. A question without a queued answer is
// answered No (input: cancelled) and counted in unanswered().
class ScriptedMessages final : public MessageService {
 public:
  ScriptedMessages();
  ~ScriptedMessages() override;
  ScriptedMessages(const ScriptedMessages&) = delete;
  ScriptedMessages& operator=(const ScriptedMessages&) = delete;

  void QueueConfirm(bool yes);
  void QueueInput(std::optional<std::string> answer);

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  // The texts alone, in order.
  std::vector<std::string> texts() const;
  // Answers queued but never asked for.
  size_t pending() const { return confirms_.size() + inputs_.size(); }
  int unanswered() const { return unanswered_; }
  void Clear();

  void information(const std::string& text, const std::string& title) override;
  void error(const std::string& text, const std::string& title) override;
  bool confirm(const std::string& text, const std::string& title = {},
               DefaultAnswer default_answer = DefaultAnswer::kYes) override;
  std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                   const std::string& initial) override;

 private:
  std::vector<RecordedMessage> messages_;
  std::deque<bool> confirms_;
  std::deque<std::optional<std::string>> inputs_;
  int unanswered_ = 0;
};

// Installs itself as the progress port and records every call.
class RecordingProgress final : public ProgressPort {
 public:
  RecordingProgress();
  ~RecordingProgress() override;
  RecordingProgress(const RecordingProgress&) = delete;
  RecordingProgress& operator=(const RecordingProgress&) = delete;

  // Every text shown, in order.
  const std::vector<std::string>& texts() const { return texts_; }
  bool visible() const { return visible_; }
  int hides() const { return hides_; }
  bool Saw(const std::string& text) const;

  void show(const std::string& text) override;
  void setMaximum(int maximum) override { maximum_ = maximum; }
  void setPosition(int position) override { position_ = position; }
  void hide() override;

  int maximum() const { return maximum_; }
  int position() const { return position_; }

 private:
  std::vector<std::string> texts_;
  bool visible_ = false;
  int hides_ = 0;
  int maximum_ = 0;
  int position_ = 0;
};

}  // namespace kaslo::testing
