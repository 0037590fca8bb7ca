#include "watch/WatchSettings.h"

namespace watch {

std::string watchFolder;
std::string watchFileName;
platform::FileTime savedWriteTime = 0;
std::string linkFontName = kDefaultLinkFontName;
std::string targetFontPath;

std::string WatchedFilePath() {
  return watchFolder + platform::Host().PathSeparator() + watchFileName;
}

}  // namespace watch
