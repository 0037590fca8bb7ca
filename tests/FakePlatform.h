// An in-memory platform for unit tests: files, settings files, registry,
// EUDC switch, change notifications, console and FTP, all scriptable, with
// a record of the calls that matter for their order.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testing_support {

using platform::ErrorCode;
using platform::FileTime;

// Windows error codes the fake reports.
inline constexpr ErrorCode kFileNotFound = 2;
inline constexpr ErrorCode kPathNotFound = 3;
inline constexpr ErrorCode kAccessDenied = 5;

struct CaseInsensitiveLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

class FakePlatform : public platform::Platform {
 public:
  struct File {
    std::string content;
    FileTime lastWriteTime = 0;
    bool locked = false;  // cannot be removed, renamed onto or replaced
  };

  FakePlatform();

  // Adds a file (and its folder) with the given content and time.
  void AddFile(const std::string& path, const std::string& content, FileTime time = 0);
  // The content of a file; empty when there is none.
  std::string Content(const std::string& path) const;
  bool Exists(const std::string& path) const { return files.count(path) != 0; }
  std::string FolderOf(const std::string& path) const;

  // --- State tests set and inspect --------------------------------------
  std::map<std::string, File> files;
  std::set<std::string> folders{"."};
  std::string executablePath = "C:\\Tools\\Glyphfetch.exe";
  char separator = '\\';
  bool initializes = true;
  FileTime now = 1070000000;  // local time is UTC in the fake
  std::string windowsDirectory = "C:\\WINDOWS";
  std::map<ErrorCode, std::string> errorTexts = {
      {kFileNotFound, "The system cannot find the file specified.\r\n"},
      {kPathNotFound, "The system cannot find the path specified.\r\n"},
      {kAccessDenied, "Access is denied.\r\n"},
  };
  ErrorCode lastError = 0;
  std::vector<unsigned> sleeps;

  // Registry: existing keys, each with its values.
  using Values = std::map<std::string, std::string, CaseInsensitiveLess>;
  std::map<std::string, Values, CaseInsensitiveLess> registry;
  long setValueStatus = 0;     // nonzero: every set fails with it
  long deleteValueStatus = 0;  // nonzero: every delete fails with it
  bool libraryLoads = true;
  bool hasEudcSwitch = true;
  bool eudcEnabled = true;

  // Change notification: each Wait() runs the next step and returns its
  // result; with no steps left every Wait() fails.
  struct WakeStep {
    std::function<void(FakePlatform&)> change;
    bool waitSucceeds = true;
  };
  bool folderWatchable = true;
  std::deque<WakeStep> wakes;
  bool rearmSucceeds = true;

  // Console.
  std::string consoleOut;
  std::string errorOut;
  bool hasConsoleWindow = true;
  std::string consoleTitle;
  std::deque<std::optional<std::string>> titleReads;  // else the title set
  std::optional<platform::WindowRef> window = platform::WindowRef{42};

  // FTP.
  bool sessionOpens = true;
  std::string ftpServer = "ftp.example.jp";
  std::string ftpUser = "user";
  std::string ftpPassword = "secret";
  std::map<std::string, std::string> remoteFiles;
  std::optional<std::string> internetError;

  // The calls whose order matters, one line each.
  std::vector<std::string> calls;

  // --- Platform ----------------------------------------------------------
  bool Initialize() override { return initializes; }
  char PathSeparator() const override { return separator; }
  std::string ExecutablePath() override { return executablePath; }
  std::string ReadProfileString(const std::string& file, const std::string& section,
                                const std::string& key, std::size_t bufferSize) override;
  bool WriteProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& value) override;
  std::unique_ptr<std::ostream> CreateOutputFile(const std::string& path) override;
  std::optional<FileTime> LastWriteTime(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  bool CopyFileOver(const std::string& source, const std::string& destination) override;
  ErrorCode LastError() override { return lastError; }
  std::optional<std::string> SystemErrorText(ErrorCode code) override;
  FileTime CurrentTime() override { return now; }
  bool ToLocalTime(FileTime time, std::tm& local) override;
  void Sleep(unsigned milliseconds) override { sleeps.push_back(milliseconds); }
  std::string WindowsDirectory() override { return windowsDirectory; }
  std::unique_ptr<platform::RegistryKey> OpenUserKey(const std::string& subkey) override;
  std::unique_ptr<platform::Library> LoadSystemLibrary(const std::string& name) override;
  std::unique_ptr<platform::ChangeNotification> WatchFolder(const std::string& folder) override;
  void WriteConsoleLine(const std::string& text) override { consoleOut += text + "\n"; }
  void WriteErrorLine(const std::string& text) override { errorOut += text + "\n"; }
  bool HasConsoleWindow() override { return hasConsoleWindow; }
  void SetConsoleTitleText(const std::string& title) override;
  std::optional<std::string> ReadConsoleTitle(std::size_t size) override;
  std::optional<platform::WindowRef> FindTopLevelWindow(const std::string& title) override;
  void MinimizeWindow(platform::WindowRef window) override;
  std::unique_ptr<platform::InternetSession> OpenInternetSession(const std::string& agent) override;
  std::optional<std::string> InternetErrorText() override { return internetError; }

 private:
  bool Fail(ErrorCode code);
};

// Installs a fake as the host for the life of a test.
class FakeHost {
 public:
  FakeHost() { platform::SetHost(&fake); }
  ~FakeHost() { platform::SetHost(nullptr); }
  FakePlatform fake;
};

// Names a parameterised test after its case's `name` field.
struct CaseName {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return info.param.name;
  }
};

// Splits run-log bytes at CR LF.
std::vector<std::string> LogLines(const std::string& bytes);

}  // namespace testing_support
