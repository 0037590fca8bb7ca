// The rules of INI profile functions, on the text of a settings file. Used
// where the system has no profile functions of its own.
#pragma once

#include <string>

namespace platform {

// The value of key in [section]: names compared without regard to case,
// blanks around key and value trimmed, one pair of surrounding quotes
// removed, ";" comment lines skipped, the first match taken. Empty when
// there is no such key.
std::string IniValue(const std::string& text, const std::string& section, const std::string& key);

// The text with key=value set in [section]: an existing key gets the new
// value, a missing one is added at the end of its section, and a missing
// section at the end of the text. Every other byte stays as it was.
std::string WithIniValue(const std::string& text, const std::string& section,
                         const std::string& key, const std::string& value);

}  // namespace platform
