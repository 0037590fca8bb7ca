#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <ctime>

#include "platform/FtpClient.h"

namespace platform::win32 {

// Start-up: the process must know its own module, and a missing disk or
// file must fail the call that met it, never stop an unattended client
// with a dialog box.
bool Win32Platform::Initialize() {
  if (GetModuleHandleA(nullptr) == nullptr) return false;
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return true;
}

std::string Win32Platform::ExecutablePath() {
  char path[kPathBufferSize];
  const DWORD length = GetModuleFileNameA(nullptr, path, kPathBufferSize);
  // A path cut to the buffer would name some other file.
  if (length == 0 || length >= kPathBufferSize) return {};
  return std::string(path, length);
}

ErrorCode Win32Platform::LastError() { return GetLastError(); }

std::optional<std::string> FormatMessageText(unsigned long flags, const void* source,
                                             unsigned long code) {
  char* text = nullptr;
  const DWORD length =
      FormatMessageA(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, source,
                     code, LANG_USER_DEFAULT, reinterpret_cast<char*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return std::nullopt;
  std::string result(text, length);
  LocalFree(text);
  return result;
}

std::optional<std::string> Win32Platform::SystemErrorText(ErrorCode code) {
  return FormatMessageText(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
}

FileTime Win32Platform::CurrentTime() { return static_cast<FileTime>(_time64(nullptr)); }

bool Win32Platform::ToLocalTime(FileTime time, std::tm& local) {
  const __time64_t seconds = time;
  return _localtime64_s(&local, &seconds) == 0;
}

void Win32Platform::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

std::unique_ptr<InternetSession> Win32Platform::OpenInternetSession(const std::string& agent) {
  return OpenFtpClientSession(agent);
}

std::optional<std::string> Win32Platform::InternetErrorText() { return FtpClientErrorText(); }

}  // namespace platform::win32

namespace platform {
std::unique_ptr<Platform> CreateHostPlatform() { return std::make_unique<win32::Win32Platform>(); }
}  // namespace platform
