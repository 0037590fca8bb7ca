// INI profile functions of Windows itself.
#include <windows.h>
// windows.h maps this name onto WriteProfileStringA; here it is our own.
#undef WriteProfileString

#include <vector>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

std::string Win32Platform::ReadProfileString(const std::string& file, const std::string& section,
                                             const std::string& key, std::size_t bufferSize) {
  if (bufferSize == 0) return {};
  std::vector<char> value(bufferSize);
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value.data(),
                                                static_cast<DWORD>(bufferSize), file.c_str());
  return std::string(value.data(), length);
}

bool Win32Platform::WriteProfileString(const std::string& file, const std::string& section,
                                       const std::string& key, const std::string& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

}  // namespace platform::win32
