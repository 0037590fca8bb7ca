// The tools' platform on Linux. What Linux lacks (the Windows directory,
// the per-user registry, the EUDC switch) lives in a stand-in folder of the
// user's, like a Wine prefix; see Prefix.cpp.
#pragma once

#include <iconv.h>

#include "platform/Platform.h"

namespace platform::posix {

class PosixPlatform final : public Platform {
 public:
  PosixPlatform();
  ~PosixPlatform() override;

  bool Initialize() override;
  char PathSeparator() const override { return '/'; }
  std::string ExecutablePath() override;

  std::string ReadProfileString(const std::string& file, const std::string& section,
                                const std::string& key, std::size_t bufferSize) override;
  bool WriteProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) override;

  std::unique_ptr<std::ostream> CreateOutputFile(const std::string& path) override;
  std::optional<FileTime> LastWriteTime(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool CopyFileOver(const std::string& source, const std::string& destination) override;

  ErrorCode LastError() override;
  std::optional<std::string> SystemErrorText(ErrorCode code) override;

  FileTime CurrentTime() override;
  bool ToLocalTime(FileTime time, std::tm& local) override;
  void Sleep(unsigned milliseconds) override;

  std::string WindowsDirectory() override;
  std::unique_ptr<RegistryKey> OpenUserKey(const std::string& subkey) override;
  std::unique_ptr<Library> LoadSystemLibrary(const std::string& name) override;

  std::unique_ptr<ChangeNotification> WatchFolder(const std::string& folder) override;

  void WriteConsoleLine(const std::string& text) override;
  void WriteErrorLine(const std::string& text) override;
  bool HasConsoleWindow() override;
  void SetConsoleTitleText(const std::string& title) override;
  std::optional<std::string> ReadConsoleTitle(std::size_t size) override;
  std::optional<WindowRef> FindTopLevelWindow(const std::string& title) override;
  void MinimizeWindow(WindowRef window) override;

  std::unique_ptr<InternetSession> OpenInternetSession(const std::string& agent) override;
  std::optional<std::string> InternetErrorText() override;

 private:
  // Code page 932 to the terminal's encoding.
  std::string ToConsoleText(const std::string& text);
  iconv_t ToConsoleConverter();

  static inline const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);
  iconv_t toConsole_ = kNoConverter;
  std::string consoleTitle_;
};

// Remembers errno as the thread's last error; false, for use in returns.
bool Fail(int error);
// The thread's last error, as Fail() left it.
ErrorCode LastFailure();

}  // namespace platform::posix
