// A checker of SINTEGRA files for the tests: every line 126 characters
// ended by CR LF, the records in their order, a record 75 for every product
// of the 60R and 60D lines, and the three records 90 at the end agreeing
// with the lines of the file. Returns the problems found, empty for a
// sound file.
#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kaslo::comm::testing {

// The lines of a file written with CR LF ends; a missing last end, or a
// CR or LF alone, is reported in `problems`.
inline std::vector<std::string> ReadCrLfLines(const std::filesystem::path& file,
                                              std::vector<std::string>* problems = nullptr) {
  std::ifstream in(file, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      if (problems) problems->push_back(file.filename().string() + ": last line without CR LF");
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (problems) {
    for (size_t i = 0; i < lines.size(); ++i)
      if (lines[i].find_first_of("\r\n") != std::string::npos)
        problems->push_back(file.filename().string() + ": line " + std::to_string(i + 1) + " holds a lone CR or LF");
  }
  return lines;
}

// Every line exactly `width` characters.
inline std::vector<std::string> CheckLineWidths(const std::filesystem::path& file, size_t width = 126) {
  std::vector<std::string> problems;
  const auto lines = ReadCrLfLines(file, &problems);
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].size() != width)
      problems.push_back(file.filename().string() + ": line " + std::to_string(i + 1) + " has " +
                         std::to_string(lines[i].size()) + " characters");
  return problems;
}

// The group of a record, by its type: 10, 11, 60 (60M, 60A, 60R, 60D), 75
// and 90 come in that order; 0 for a type no file of ours writes.
inline int RecordGroup(const std::string& line) {
  if (line.starts_with("10")) return 10;
  if (line.starts_with("11")) return 11;
  for (const char* t : {"60M", "60A", "60R", "60D"})
    if (line.starts_with(t)) return 60;
  if (line.starts_with("75")) return 75;
  if (line.starts_with("90")) return 90;
  return 0;
}

// A whole SINTEGRA file: widths, the records in their order (10, 11, the 60
// records, the 75 records, the three records 90 last with the counts of the
// file), and a 75 line for the product of every 60R line and for the
// product and day of every 60D line.
inline std::vector<std::string> CheckSintegraFile(const std::filesystem::path& file) {
  std::vector<std::string> problems = CheckLineWidths(file);
  const auto lines = ReadCrLfLines(file);
  const std::string name = file.filename().string();
  if (lines.size() < 5) {
    problems.push_back(name + ": fewer than five lines");
    return problems;
  }
  if (!lines[0].starts_with("10")) problems.push_back(name + ": does not begin with record 10");
  if (!lines[1].starts_with("11")) problems.push_back(name + ": record 11 is not second");
  size_t c60 = 0, c75 = 0, c90 = 0;
  int group = 0;
  std::vector<std::string> products_75, days_75;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    const int g = RecordGroup(l);
    if (g == 0) problems.push_back(name + ": line " + std::to_string(i + 1) + " is no record of ours");
    else if (g < group) problems.push_back(name + ": line " + std::to_string(i + 1) + " is out of order");
    group = std::max(group, g);
    if (g == 60) ++c60;
    if (g == 90) ++c90;
    if (g == 75 && l.size() >= 32) {
      ++c75;
      products_75.push_back(l.substr(18, 14));
      days_75.push_back(l.substr(2, 8) + l.substr(18, 14));
    }
  }
  auto has = [](const std::vector<std::string>& v, const std::string& key) {
    return std::find(v.begin(), v.end(), key) != v.end();
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if ((l.starts_with("60R") && l.size() >= 23 && !has(products_75, l.substr(9, 14))) ||
        (l.starts_with("60D") && l.size() >= 45 && !has(days_75, l.substr(3, 8) + l.substr(31, 14))))
      problems.push_back(name + ": line " + std::to_string(i + 1) + " has no record 75");
  }
  if (c90 != 3) problems.push_back(name + ": " + std::to_string(c90) + " records 90");
  const std::string identity = lines[0].substr(2, 28);
  const std::pair<std::string, size_t> expected[] = {{"60", c60}, {"75", c75}, {"99", lines.size()}};
  for (size_t k = 0; k < 3; ++k) {
    const std::string& l = lines[lines.size() - 3 + k];
    if (l.size() != 126) continue;
    char count[9];
    std::snprintf(count, sizeof count, "%08zu", expected[k].second);
    const std::string want = "90" + identity + expected[k].first + count + std::string(85, ' ') + "3";
    if (l != want) problems.push_back(name + ": record 90 " + expected[k].first + " is \"" + l + "\", expected \"" + want + "\"");
  }
  return problems;
}

}  // namespace kaslo::comm::testing
