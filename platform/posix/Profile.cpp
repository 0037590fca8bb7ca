// INI profile functions over plain files, with the Windows functions' rules.
#include <fstream>
#include <sstream>

#include "platform/IniText.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

std::string PosixPlatform::ReadProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, std::size_t bufferSize) {
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text || bufferSize == 0) return {};
  std::string value = IniValue(*text, section, key);
  if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  return value;
}

bool PosixPlatform::WriteProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) {
  const std::string text = ReadWholeFile(file).value_or(std::string());
  const std::string changed = WithIniValue(text, section, key, value);
  if (changed == text) return true;
  // A crash mid-write must not leave a half-written settings file.
  return WriteFileAtomically(file, changed);
}

}  // namespace platform::posix
