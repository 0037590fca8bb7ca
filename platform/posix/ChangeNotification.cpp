// Folder change notification on Linux, over inotify.
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

std::unique_ptr<ChangeNotification> PosixPlatform::WatchFolder(const std::string&) {
  return nullptr;
}

}  // namespace platform::posix
