// Default ports and the process-wide registry for progress and messages.
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>

#include "common/clock.h"
#include "common/encoding.h"
#include "common/messages.h"
#include "common/progress.h"

namespace kaslo {
namespace {

class SilentProgress final : public ProgressPort {
 public:
  void show(const std::string&) override {}
  void setMaximum(int) override {}
  void setPosition(int) override {}
  void hide() override {}
};

class StderrMessages final : public MessageService {
 public:
  void information(const std::string& text, const std::string&) override { std::cerr << text << "\n"; }
  void error(const std::string& text, const std::string&) override { std::cerr << text << "\n"; }
  bool confirm(const std::string& text, const std::string&, DefaultAnswer) override {
    std::cerr << text << " [no]\n";
    return false;
  }
  std::optional<std::string> input(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
};

SilentProgress g_silent_progress;
StderrMessages g_stderr_messages;
ProgressPort* g_progress = &g_silent_progress;
MessageService* g_messages = &g_stderr_messages;

std::mutex g_clock_mutex;
std::optional<DateTime> g_fixed_now;

}  // namespace

void SetProgressPort(ProgressPort* port) { g_progress = port ? port : &g_silent_progress; }
ProgressPort& Progress() { return *g_progress; }

void SetMessageService(MessageService* service) { g_messages = service ? service : &g_stderr_messages; }
MessageService& Messages() { return *g_messages; }

DateTime Now() {
  {
    std::lock_guard lock(g_clock_mutex);
    if (g_fixed_now) return *g_fixed_now;
  }
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  DateTime now;
  now.date = std::chrono::year_month_day{std::chrono::year{tm.tm_year + 1900},
                                         std::chrono::month{static_cast<unsigned>(tm.tm_mon + 1)},
                                         std::chrono::day{static_cast<unsigned>(tm.tm_mday)}};
  now.hour = tm.tm_hour;
  now.minute = tm.tm_min;
  now.second = tm.tm_sec;
  return now;
}

std::chrono::year_month_day Today() { return Now().date; }

void SetFixedNow(std::optional<DateTime> now) {
  std::lock_guard lock(g_clock_mutex);
  g_fixed_now = now;
}

void AppendLatin1AsUtf8(std::string& out, std::string_view latin1) {
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() + latin1.size() / 8);
  AppendLatin1AsUtf8(out, latin1);
  return out;
}

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
      unsigned code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
      out.push_back(code < 0x100 ? static_cast<char>(code) : '?');
      i += 2;
    } else {
      size_t len = (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
      out.push_back('?');
      i += len;
    }
  }
  return out;
}

void MostraProgresso(const std::string& texto) { Progress().show(texto); }
void FechaProgresso() { Progress().hide(); }

}  // namespace kaslo
