// Latin-1 and UTF-8 to QString and back.
#include "common/ui/qt_text.h"

namespace kaslo::ui {

QString FromLatin1(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

std::string ToLatin1(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (QChar c : text) out.push_back(c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '?');
  return out;
}

QString FromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace kaslo::ui
