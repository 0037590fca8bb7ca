// The FTP client of Windows, WinINet.
#include <windows.h>
#include <wininet.h>

#include <vector>

#include "platform/FtpClient.h"
#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

// Why the last Internet operation of this thread failed. Taken at the
// failure itself: closing a handle afterwards would overwrite the error.
thread_local std::optional<std::string> lastInternetError;

// A description holds at most this many bytes, as the class library's
// 1024-byte message buffer did.
constexpr std::size_t kMaxDescription = 1023;

// The server's last reply, as WinINet keeps it for extended errors.
std::optional<std::string> LastServerReply() {
  DWORD error = 0;
  std::vector<char> reply(kMaxDescription + 1, '\0');
  DWORD length = kMaxDescription;
  // A fixed buffer first: not every WinINet copes with asking for the size.
  if (!InternetGetLastResponseInfoA(&error, reply.data(), &length)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    reply.assign(length + 1, '\0');
    if (!InternetGetLastResponseInfoA(&error, reply.data(), &length)) return std::nullopt;
  }
  const std::string text(reply.data());
  if (text.empty()) return std::nullopt;
  return text;
}

// WinINet's own text for its codes, the system's for the others.
std::optional<std::string> ClientErrorText(DWORD code) {
  return FormatMessageText(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM,
                           GetModuleHandleA("wininet.dll"), code);
}

void NoteInternetFailure() {
  const DWORD code = GetLastError();
  lastInternetError =
      code == ERROR_INTERNET_EXTENDED_ERROR ? LastServerReply() : ClientErrorText(code);
  if (lastInternetError && lastInternetError->size() > kMaxDescription)
    lastInternetError->resize(kMaxDescription);
  SetLastError(code);
}

// Every WinINet handle is closed exactly once.
class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() { Close(); }

  HINTERNET get() const { return handle_; }
  void Close() {
    if (handle_ == nullptr) return;
    InternetCloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HINTERNET handle_;
};

// Context value of every call; no status callback is installed.
constexpr DWORD_PTR kContext = 1;

class WinInetFtpConnection final : public FtpConnection {
 public:
  explicit WinInetFtpConnection(HINTERNET connection) : connection_(connection) {}

  // The download arrives under a name of its own and replaces localFile only
  // when complete: a failed download deletes the file it was writing, which
  // must never be an earlier good download.
  bool GetFile(const std::string& remoteFile, const std::string& localFile) override {
    const std::string partial = TemporaryNameBeside(localFile);
    if (FtpGetFileA(connection_.get(), remoteFile.c_str(), partial.c_str(), FALSE,
                    FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY, kContext) &&
        MoveFileExA(partial.c_str(), localFile.c_str(), MOVEFILE_REPLACE_EXISTING))
      return true;
    NoteInternetFailure();
    const DWORD error = GetLastError();
    DeleteFileA(partial.c_str());
    SetLastError(error);
    return false;
  }

  void Close() override { connection_.Close(); }

 private:
  InternetHandle connection_;
};

class WinInetSession final : public InternetSession {
 public:
  explicit WinInetSession(HINTERNET session) : session_(session) {}

  // Connecting to an FTP server logs in at once; passive mode stays off.
  std::unique_ptr<FtpConnection> GetFtpConnection(const std::string& server,
                                                  const std::string& userName,
                                                  const std::string& password) override {
    const HINTERNET connection =
        InternetConnectA(session_.get(), server.c_str(), INTERNET_INVALID_PORT_NUMBER,
                         userName.c_str(), password.c_str(), INTERNET_SERVICE_FTP, 0, kContext);
    if (connection == nullptr) {
      NoteInternetFailure();
      return nullptr;
    }
    return std::make_unique<WinInetFtpConnection>(connection);
  }

  void Close() override { session_.Close(); }

 private:
  InternetHandle session_;
};

}  // namespace

}  // namespace platform::win32

namespace platform {

std::unique_ptr<InternetSession> OpenFtpClientSession(const std::string& agent) {
  const HINTERNET session =
      InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (session == nullptr) {
    win32::NoteInternetFailure();
    return nullptr;
  }
  return std::make_unique<win32::WinInetSession>(session);
}

std::optional<std::string> FtpClientErrorText() { return win32::lastInternetError; }

}  // namespace platform
