// Each tool's numbered message texts, and filling them in.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <type_traits>

#include "platform/Platform.h"

namespace frame {

using MessageTable = std::map<int, const char*>;

// Makes table the one LoadMessage reads from; the entry does this first.
void UseMessageTable(const MessageTable* table);

// The text of a number; empty when the table lacks it.
std::string LoadMessage(int number);

namespace detail {
inline const char* FormatArgument(const std::string& text) { return text.c_str(); }
template <typename T>
T FormatArgument(T value) {
  static_assert(std::is_arithmetic_v<T> || std::is_same_v<T, const char*>);
  return value;
}
}  // namespace detail

// Fills the printf-style placeholders ("%s", "%d") of a loaded text.
template <typename... Args>
std::string FormatText(const std::string& format, const Args&... args) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
  const int length = std::snprintf(nullptr, 0, format.c_str(), detail::FormatArgument(args)...);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format.c_str(), detail::FormatArgument(args)...);
#pragma GCC diagnostic pop
  text.resize(static_cast<std::size_t>(length));
  return text;
}

// Writes line, then the system's text for code as the next line. Used for
// every failed system call the tools report.
void WriteSystemFailure(const std::string& line, platform::ErrorCode code);

}  // namespace frame
