#include "platform/IniText.h"

#include <optional>
#include <string_view>
#include <vector>

namespace platform {

namespace {

struct Line {
  std::size_t begin;  // first byte of the line
  std::size_t end;    // one past its last byte, before any CR LF
  std::size_t next;   // first byte of the next line
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t feed = text.find('\n', begin);
    const std::size_t next = feed == std::string::npos ? text.size() : feed + 1;
    std::size_t end = feed == std::string::npos ? text.size() : feed;
    if (end > begin && text[end - 1] == '\r') --end;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string_view View(const std::string& text, const Line& line) {
  return std::string_view(text).substr(line.begin, line.end - line.begin);
}

// The name of a "[name]" line, if it is one.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, if it is one.
std::optional<std::string_view> KeyName(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::string_view ValueOf(std::string_view line) {
  std::string_view value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return value;
}

struct Found {
  std::optional<std::size_t> sectionLine;  // index of the section's header
  std::optional<std::size_t> keyLine;      // index of the key's line
  std::size_t lastEntryLine = 0;           // last non-blank line of the section
};

Found Find(const std::string& text, const std::vector<Line>& lines, const std::string& section,
           const std::string& key) {
  Found found;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = View(text, lines[i]);
    if (const auto name = SectionName(line)) {
      if (found.sectionLine && inSection) break;  // the section has ended
      inSection = SameName(*name, section);
      if (inSection) found.sectionLine = found.lastEntryLine = i;
      continue;
    }
    if (!inSection) continue;
    if (!Trim(line).empty()) found.lastEntryLine = i;
    const auto name = KeyName(line);
    if (name && SameName(*name, key)) {
      found.keyLine = i;
      break;
    }
  }
  return found;
}

std::string NewlineOf(const std::string& text) {
  return text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
}

}  // namespace

std::string IniValue(const std::string& text, const std::string& section, const std::string& key) {
  const std::vector<Line> lines = SplitLines(text);
  const Found found = Find(text, lines, section, key);
  if (!found.keyLine) return {};
  return std::string(ValueOf(View(text, lines[*found.keyLine])));
}

std::string WithIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value) {
  const std::vector<Line> lines = SplitLines(text);
  const Found found = Find(text, lines, section, key);
  const std::string newline = NewlineOf(text);
  if (found.keyLine) {
    const Line& line = lines[*found.keyLine];
    const std::size_t valueBegin = text.find('=', line.begin) + 1;
    return text.substr(0, valueBegin) + value + text.substr(line.end);
  }
  const std::string entry = key + "=" + value + newline;
  if (found.sectionLine) {
    const Line& last = lines[found.lastEntryLine];
    // A last line without a line end gets one before the new entry.
    const std::string before = last.next == last.end ? newline : "";
    return text.substr(0, last.next) + before + entry + text.substr(last.next);
  }
  const bool endsOpen = !text.empty() && text.back() != '\n';
  return text + (endsOpen ? newline : "") + "[" + section + "]" + newline + entry;
}

}  // namespace platform
