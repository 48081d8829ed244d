// The message port: every information, error, confirmation and input box of
// the system goes through the installed MessageService. Texts are UTF-8,
// exactly as the system shows them. The GUI installs a QMessageBox service;
// tests install a scripted one that records each text and gives the
// scripted answers; the command line prints and reads stdin.
#pragma once

#include <optional>
#include <string>

namespace kaslo {

enum class DefaultAnswer { kYes, kNo };

class MessageService {
 public:
  virtual ~MessageService() = default;
  virtual void information(const std::string& text, const std::string& title = {}) = 0;
  virtual void error(const std::string& text, const std::string& title = {}) = 0;
  // Yes/No box; true for Yes. A question whose Yes destroys or replaces
  // data asks with No as the default, so that Enter cannot destroy.
  virtual bool confirm(const std::string& text, const std::string& title = {},
                       DefaultAnswer default_answer = DefaultAnswer::kYes) = 0;
  // Input box; nullopt when cancelled.
  virtual std::optional<std::string> input(const std::string& title, const std::string& prompt,
                                           const std::string& initial) = 0;
};

// Installs the service; the caller keeps ownership. Without one, boxes are
// written to stderr and questions answered No.
void SetMessageService(MessageService* service);
MessageService& Messages();

// Installs a message service for a scope; at its end boxes go back to
// stderr and questions to No.
class ScopedMessageService {
 public:
  explicit ScopedMessageService(MessageService& service) { SetMessageService(&service); }
  ~ScopedMessageService() { SetMessageService(nullptr); }
  ScopedMessageService(const ScopedMessageService&) = delete;
  ScopedMessageService& operator=(const ScopedMessageService&) = delete;
};

// A question whose Yes destroys or replaces data: No is the default button.
inline bool ConfirmDestructive(const std::string& text) {
  return Messages().confirm(text, {}, DefaultAnswer::kNo);
}

}  // namespace kaslo
