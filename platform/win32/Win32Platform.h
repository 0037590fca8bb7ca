// The tools' platform on Windows: the ANSI ("A") functions of the Windows
// API, so code page 932 bytes pass through unchanged.
#pragma once

#include "platform/Platform.h"

namespace platform::win32 {

class Win32Platform final : public Platform {
 public:
  bool Initialize() override;
  char PathSeparator() const override { return '\\'; }
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
};

// Paths and setting values fit in 260 bytes and a terminator.
inline constexpr unsigned kPathBufferSize = 261;

// The text FormatMessageA gives for code with the given source and flags
// (besides allocation and no inserts), in the user's default language;
// nullopt when there is none.
std::optional<std::string> FormatMessageText(unsigned long flags, const void* source,
                                             unsigned long code);

// A name in destination's folder that no other running copy of the tools
// uses, for a file that replaces destination once it is complete.
std::string TemporaryNameBeside(const std::string& destination);

}  // namespace platform::win32
