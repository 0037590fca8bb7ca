// The FTP client of a tool that never downloads.
#include "platform/FtpClient.h"

namespace platform {

std::unique_ptr<InternetSession> OpenFtpClientSession(const std::string&) { return nullptr; }

std::optional<std::string> FtpClientErrorText() { return "This tool has no FTP client"; }

}  // namespace platform
