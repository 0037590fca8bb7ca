#include "frame/ModuleSiblingPath.h"

#include "platform/Platform.h"

namespace frame {

namespace {

// True when the last path component ends in a dot and three characters.
bool EndsInExtension(const std::string& path, char separator) {
  if (path.size() < 4) return false;
  const std::size_t dot = path.size() - 4;
  if (path[dot] != '.') return false;
  for (std::size_t i = dot + 1; i < path.size(); ++i)
    if (path[i] == separator || path[i] == '.') return false;
  return true;
}

}  // namespace

std::string ModuleSiblingPath(const std::string& suffix) {
  std::string path = platform::Host().ExecutablePath();
  // Cutting four bytes blindly would eat the name of an executable without
  // an extension (every Linux executable), so only an extension is cut.
  if (EndsInExtension(path, platform::Host().PathSeparator())) path.resize(path.size() - 4);
  return path + suffix;
}

}  // namespace frame
