#include "comm/system_ini.h"

// Debian's libsimpleini holds the char instantiation; bytes pass unconverted
// (the file is Latin-1, like every file of the store).
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <fstream>
#include <iterator>

#include "common/files.h"
#include "common/text.h"
#include "db/database.h"
#include "db/error.h"

namespace kaslo::comm {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw db::Error(file.filename().string() + ": cannot be read");
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Configure(CSimpleIniA& ini) {
  ini.SetUnicode(false);
  ini.SetMultiKey(true);  // a repeated key is kept as it stands
  ini.SetSpaces(false);
}

// The comment lines after the file's last section or key, which SimpleIni
// does not carry through a save.
std::string TrailingComments(const std::string& text) {
  size_t keep = text.size();
  size_t end = text.size();  // one past the line's last byte
  while (end > 0) {
    const size_t newline = end >= 2 ? text.rfind('\n', end - 2) : std::string::npos;
    const size_t start = newline == std::string::npos ? 0 : newline + 1;
    std::string_view line(text.data() + start, end - start);
    const size_t first = line.find_first_not_of(" \t\r\n");
    line = first == std::string_view::npos ? std::string_view() : line.substr(first);
    if (!line.empty() && line.front() != ';' && line.front() != '#') break;
    if (!line.empty()) keep = start;
    end = start;
  }
  return text.substr(keep);
}

}  // namespace

std::optional<std::string> ReadSystemIni(const fs::path& dir, std::string_view section, std::string_view key) {
  const fs::path file = db::Database(dir).find(kSystemIniName);
  if (file.empty()) return std::nullopt;
  std::string text;
  try {
    text = ReadAll(file);
  } catch (const db::Error&) {
    return std::nullopt;
  }
  CSimpleIniA ini;
  Configure(ini);
  if (ini.LoadData(text) < 0) return std::nullopt;
  const char* value = ini.GetValue(std::string(section).c_str(), std::string(key).c_str(), nullptr);
  if (!value) return std::nullopt;
  return std::string(value);
}

void WriteSystemIni(const fs::path& dir, std::string_view section, std::string_view key, std::string_view value) {
  fs::path file = db::Database(dir).find(kSystemIniName);
  std::string text;
  if (file.empty()) file = dir / kSystemIniName;
  else text = ReadAll(file);

  CSimpleIniA ini;
  Configure(ini);
  if (ini.LoadData(text) < 0) throw db::Error(file.filename().string() + ": cannot be read");
  ini.SetValue(std::string(section).c_str(), std::string(key).c_str(), std::string(value).c_str(), nullptr, true);
  std::string saved;
  if (ini.Save(saved) < 0) throw db::Error(file.filename().string() + ": cannot be written");
  saved += TrailingComments(text);
  // SimpleIni writes "\n"; a file written with "\r\n" keeps them.
  if (text.empty() || text.find("\r\n") != std::string::npos) {
    std::string crlf;
    crlf.reserve(saved.size() + saved.size() / 16);
    for (size_t i = 0; i < saved.size(); ++i) {
      if (saved[i] == '\n' && (i == 0 || saved[i - 1] != '\r')) crlf += '\r';
      crlf += saved[i];
    }
    saved.swap(crlf);
  }

  if (!WriteWholeFile(file, saved)) throw db::Error(file.filename().string() + ": cannot be written");
}

bool LogOnLine(const fs::path& dir) {
  const auto value = ReadSystemIni(dir, "Sistema", "LogOnLine");
  return value && Apara(*value) == "1";
}

void SetLogOnLine(const fs::path& dir, bool on) { WriteSystemIni(dir, "Sistema", "LogOnLine", on ? "1" : "0"); }

}  // namespace kaslo::comm
