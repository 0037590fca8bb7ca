#include "platform/posix/PosixPlatform.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/FtpClient.h"

namespace platform::posix {

namespace {
thread_local ErrorCode lastError = 0;
}

bool Fail(int error) {
  lastError = static_cast<ErrorCode>(error);
  return false;
}

PosixPlatform::PosixPlatform() = default;

PosixPlatform::~PosixPlatform() {
  if (toConsole_ != kNoConverter) iconv_close(toConsole_);
}

std::string PosixPlatform::ExecutablePath() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof path) return {};
  return std::string(path, static_cast<std::size_t>(length));
}

ErrorCode LastFailure() { return lastError; }

ErrorCode PosixPlatform::LastError() { return lastError; }

std::optional<std::string> PosixPlatform::SystemErrorText(ErrorCode code) {
  if (code == 0) return std::nullopt;
  char buffer[256];
  // The GNU strerror_r returns its text, which need not be in buffer.
  const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  if (text == nullptr || *text == '\0') return std::nullopt;
  return std::string(text);
}

FileTime PosixPlatform::CurrentTime() { return static_cast<FileTime>(std::time(nullptr)); }

bool PosixPlatform::ToLocalTime(FileTime time, std::tm& local) {
  const auto seconds = static_cast<std::time_t>(time);
  return localtime_r(&seconds, &local) != nullptr;
}

void PosixPlatform::Sleep(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::unique_ptr<InternetSession> PosixPlatform::OpenInternetSession(const std::string& agent) {
  return OpenFtpClientSession(agent);
}

std::optional<std::string> PosixPlatform::InternetErrorText() { return FtpClientErrorText(); }

}  // namespace platform::posix

namespace platform {
std::unique_ptr<Platform> CreateHostPlatform() { return std::make_unique<posix::PosixPlatform>(); }
}  // namespace platform
