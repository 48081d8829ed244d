// RURUDOR.INI, the program's settings file in the data directory, read and
// written with SimpleIni. A write keeps every other section, key, value and
// comment in its order and the file's line ends; the file is whatever case
// its name has in the directory.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kaslo::comm {

inline constexpr std::string_view kSystemIniName = "RURUDOR.INI";

// The value of a key (sections and keys without regard to case), or nullopt
// when the file, the section or the key is missing.
std::optional<std::string> ReadSystemIni(const std::filesystem::path& dir, std::string_view section,
                                         std::string_view key);
// Sets a key ("key=value", no blanks around "="), creating the file or the
// section when missing. The file is replaced through a temporary copy, so a
// failure leaves it as it was; the failure is thrown as db::Error.
void WriteSystemIni(const std::filesystem::path& dir, std::string_view section, std::string_view key,
                    std::string_view value);

// "LogOnLine" of section "Sistema": the continuous LOG reading of the
// communication window, "1" on, anything else or nothing off.
bool LogOnLine(const std::filesystem::path& dir);
void SetLogOnLine(const std::filesystem::path& dir, bool on);

}  // namespace kaslo::comm
