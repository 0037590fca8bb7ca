// The FTP client on Linux, over libcurl.
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

std::unique_ptr<InternetSession> PosixPlatform::OpenInternetSession(const std::string&) {
  return nullptr;
}

std::optional<std::string> PosixPlatform::InternetErrorText() { return std::nullopt; }

}  // namespace platform::posix
