#include "watch/WatchSettings.h"

namespace watch {

std::string FileNameOf(const std::string& path) {
  const char separator = platform::Host().PathSeparator();
  for (std::size_t i = path.size(); i-- > 0;) {
    if (path[i] != separator) continue;
    // A backslash byte may be the second half of a double-byte character
    // (表 is 0x95 0x5C); a slash never is.
    if (separator == '\\' && IsMidDbcsChar(path, i)) continue;
    return path.substr(i + 1);
  }
  return path;
}

}  // namespace watch
