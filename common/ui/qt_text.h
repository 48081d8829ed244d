// The one place where text crosses between the core and the widgets: table
// values and files are Latin-1 bytes, messages and captions are UTF-8, and
// widgets hold QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kaslo::ui {

// Latin-1 bytes (a table field, a file line) to a QString.
QString FromLatin1(std::string_view latin1);
// A QString to Latin-1 bytes; characters outside Latin-1 become "?".
std::string ToLatin1(const QString& text);
// UTF-8 (messages, captions, the core's texts) to a QString and back.
QString FromUtf8(std::string_view utf8);
std::string ToUtf8(const QString& text);

}  // namespace kaslo::ui
