// Latin-1 (tables, files, terminals) to UTF-8 (source texts, widgets) and
// back. The conversion happens once, where a value enters or leaves a widget
// or a message.
#pragma once

#include <string>
#include <string_view>

namespace kaslo {

std::string Latin1ToUtf8(std::string_view latin1);
// Appends the UTF-8 form, for writers that build a line in one buffer.
void AppendLatin1AsUtf8(std::string& out, std::string_view latin1);
// Characters outside Latin-1 become "?".
std::string Utf8ToLatin1(std::string_view utf8);

}  // namespace kaslo
