// The FTP client beneath Platform::OpenInternetSession and
// InternetErrorText. It is linked only into the tool that downloads: the
// client library it brings would only weigh on the resident watcher.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace platform {

std::unique_ptr<InternetSession> OpenFtpClientSession(const std::string& agent);
std::optional<std::string> FtpClientErrorText();

}  // namespace platform
