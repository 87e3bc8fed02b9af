#include <cctype>
#include <fstream>
#include <sstream>
#include <utility>

#include "comm/keyboard/profile_access.h"

namespace comm {
namespace {

std::string Trim(const std::string& text) {
  std::size_t first = 0, last = text.size();
  while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  return text.substr(first, last - first);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::optional<std::vector<std::string>> ReadLines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A section header's name, or nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
  std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  std::size_t close = trimmed.find(']');
  if (close == std::string::npos) return std::nullopt;
  return Trim(trimmed.substr(1, close - 1));
}

// Splits "key = value"; false for a line that is no entry.
bool Entry(const std::string& line, std::string& key, std::string& value) {
  std::size_t equals = line.find('=');
  if (equals == std::string::npos) return false;
  key = Trim(line.substr(0, equals));
  value = Trim(line.substr(equals + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return !key.empty() && key[0] != ';';
}

// The entries of every section named `section`, in file order.
std::vector<std::pair<std::string, std::string>> SectionEntries(const std::vector<std::string>& lines,
                                                                const std::string& section) {
  std::vector<std::pair<std::string, std::string>> entries;
  bool inSection = false;
  for (const std::string& line : lines) {
    if (auto name = SectionName(line)) {
      inSection = SameName(*name, section);
      continue;
    }
    std::string k, v;
    if (inSection && Entry(line, k, v)) entries.emplace_back(std::move(k), std::move(v));
  }
  return entries;
}

std::optional<std::string> Find(const std::string& file, const std::string& section, const std::string& key) {
  auto lines = ReadLines(file);
  if (!lines) return std::nullopt;
  for (auto& [k, v] : SectionEntries(*lines, section))
    if (SameName(k, key)) return v;
  return std::nullopt;
}

}  // namespace

std::string TextFileProfile::ReadString(const std::string& file, const std::string& section,
                                        const std::string& key, const std::string& fallback) {
  return Find(file, section, key).value_or(fallback);
}

int TextFileProfile::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                             int fallback) {
  auto value = Find(file, section, key);
  if (!value || value->empty() || !std::isdigit(static_cast<unsigned char>((*value)[0]))) return fallback;
  long long number = 0;
  for (char c : *value) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    number = number * 10 + (c - '0');
    if (number > 0x7FFFFFFF) return 0x7FFFFFFF;
  }
  return static_cast<int>(number);
}

bool TextFileProfile::Write(const std::string& file, const std::string& section, const std::string& key,
                            const std::string* value) {
  std::vector<std::string> lines = ReadLines(file).value_or(std::vector<std::string>{});
  std::size_t sectionLine = lines.size(), insertAt = lines.size();
  bool inSection = false, done = false;
  for (std::size_t i = 0; i < lines.size() && !done; ++i) {
    if (auto name = SectionName(lines[i])) {
      if (inSection) break;
      inSection = SameName(*name, section);
      if (inSection) sectionLine = insertAt = i + 1;
      continue;
    }
    std::string k, v;
    if (!inSection || !Entry(lines[i], k, v)) continue;
    insertAt = i + 1;
    if (SameName(k, key)) {
      if (value)
        lines[i] = k + "=" + *value;
      else
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      done = true;
    }
  }
  if (!done && value) {
    if (sectionLine == lines.size() && !inSection) {
      lines.push_back("[" + section + "]");
      lines.push_back(key + "=" + *value);
    } else {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), key + "=" + *value);
    }
  } else if (!done && !inSection) {
    lines.push_back("[" + section + "]");  // the system makes the section even for a deletion
  }
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const std::string& line : lines) out << line << "\r\n";
  return static_cast<bool>(out.flush());
}

std::optional<std::vector<std::string>> TextFileProfile::SectionKeys(const std::string& file,
                                                                     const std::string& section) {
  auto lines = ReadLines(file);
  if (!lines) return std::nullopt;
  std::vector<std::string> keys;
  for (auto& entry : SectionEntries(*lines, section)) keys.push_back(std::move(entry.first));
  return keys;
}

bool TextFileProfile::Exists(const std::string& file) { return std::ifstream(file).good(); }

}  // namespace comm
