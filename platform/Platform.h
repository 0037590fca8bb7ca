// The one doorway from the tools to the operating system.
//
// Everything the tools need of Windows (or of its stand-in on Linux) goes
// through this interface, so that the tools' own code carries no platform
// conditionals. There are three implementations: platform/win32 over the
// Windows API, platform/posix for Linux, and an in-memory fake for tests.
//
// Texts are byte strings in code page 932; paths use PathSeparator().
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace platform {

// A file time or calendar time: whole seconds since 1970-01-01 00:00 UTC.
using FileTime = std::int64_t;

// An operating-system error code, as GetLastError gives it on Windows and
// errno on Linux.
using ErrorCode = std::uint32_t;

// A registration for "the last-write time of a file in this folder changed".
// Destroying it releases the registration.
class ChangeNotification {
 public:
  virtual ~ChangeNotification() = default;
  // Blocks until a change is signalled; false when the wait itself failed.
  virtual bool Wait() = 0;
  // Arms the registration for the next change; false when that failed.
  virtual bool Rearm() = 0;
};

// An open key of the per-user registry. Close() (or destruction) releases it.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // Sets a string value (created when absent); 0 on success, else a status.
  virtual long SetStringValue(const std::string& name, const std::string& data) = 0;
  // Deletes a value; 0 on success, else a status (also when there is none).
  virtual long DeleteValue(const std::string& name) = 0;
  virtual void Close() = 0;
};

// The system's EUDC switch: true turns EUDC support on, false turns it off.
using EudcSwitch = std::function<void(bool)>;

// A system library loaded at run time. Release() (or destruction) frees it.
class Library {
 public:
  virtual ~Library() = default;
  // Looks up an entry point of the EUDC switch's shape by name; an empty
  // function when the library has no such entry point.
  virtual EudcSwitch FindEudcSwitch(const std::string& entryName) = 0;
  virtual void Release() = 0;
};

// An FTP connection, logged in. Close() (or destruction) ends it.
class FtpConnection {
 public:
  virtual ~FtpConnection() = default;
  // Downloads remoteFile (relative to the login folder) in binary mode to
  // localFile, overwriting it. False on failure; see InternetErrorText().
  virtual bool GetFile(const std::string& remoteFile, const std::string& localFile) = 0;
  virtual void Close() = 0;
};

// An Internet session. Close() (or destruction) ends it.
class InternetSession {
 public:
  virtual ~InternetSession() = default;
  // Connects to server on the default FTP port in active mode and logs in.
  // nullptr on failure; see InternetErrorText().
  virtual std::unique_ptr<FtpConnection> GetFtpConnection(const std::string& server,
                                                          const std::string& userName,
                                                          const std::string& password) = 0;
  virtual void Close() = 0;
};

// A top-level window, as the windowing system names it.
using WindowRef = std::uintptr_t;

class Platform {
 public:
  virtual ~Platform() = default;

  // --- Start-up -------------------------------------------------------
  // The platform's own start-up, done once before any phase runs.
  virtual bool Initialize() = 0;
  // The byte that separates folders in a path: '\\' or '/'.
  virtual char PathSeparator() const = 0;
  // Full path of the running executable; empty when it cannot be had.
  virtual std::string ExecutablePath() = 0;

  // --- Settings files (INI profile functions) ---------------------------
  // The value of key in [section] of file, at most bufferSize - 1 bytes;
  // empty when file, section or key is absent.
  virtual std::string ReadProfileString(const std::string& file, const std::string& section,
                                        const std::string& key, std::size_t bufferSize) = 0;
  // Sets key=value in [section] of file, creating section and file.
  virtual bool WriteProfileString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& value) = 0;

  // --- Files ------------------------------------------------------------
  // A fresh (emptied) file for writing; the stream is in a failed state
  // when the file cannot be opened. Bytes are written as given.
  virtual std::unique_ptr<std::ostream> CreateOutputFile(const std::string& path) = 0;
  // The last-write time of an existing file; nullopt when it cannot be had.
  virtual std::optional<FileTime> LastWriteTime(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Renames a file; fails when `to` exists already.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // Copies source over destination, keeping source's last-write time. The
  // destination keeps its old content until the new one is complete and is
  // then replaced in one step; nothing partial is ever left behind.
  virtual bool CopyFileOver(const std::string& source, const std::string& destination) = 0;

  // --- Errors -----------------------------------------------------------
  // The error code of the calling thread's last failed operation.
  virtual ErrorCode LastError() = 0;
  // The system's text for an error code (may end in a line break);
  // nullopt when the system has none.
  virtual std::optional<std::string> SystemErrorText(ErrorCode code) = 0;

  // --- Time -------------------------------------------------------------
  virtual FileTime CurrentTime() = 0;
  // Breaks a time down in local time; false when it cannot be converted.
  virtual bool ToLocalTime(FileTime time, std::tm& local) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;

  // --- The Windows directory, registry and EUDC switch -------------------
  virtual std::string WindowsDirectory() = 0;
  // Opens an existing key of the current user's registry for all access;
  // nullptr when it cannot be opened. Keys are never created.
  virtual std::unique_ptr<RegistryKey> OpenUserKey(const std::string& subkey) = 0;
  // Loads a system library by name; nullptr when it cannot be loaded.
  virtual std::unique_ptr<Library> LoadSystemLibrary(const std::string& name) = 0;

  // --- Folder change notification ---------------------------------------
  // Registers for last-write changes of files directly in folder (not in
  // its subfolders); nullptr when the registration fails.
  virtual std::unique_ptr<ChangeNotification> WatchFolder(const std::string& folder) = 0;

  // --- Console ----------------------------------------------------------
  // One line on standard output / standard error, shown in the console's
  // own encoding.
  virtual void WriteConsoleLine(const std::string& text) = 0;
  virtual void WriteErrorLine(const std::string& text) = 0;
  // Whether the process has a console window whose title it can set.
  virtual bool HasConsoleWindow() = 0;
  virtual void SetConsoleTitleText(const std::string& title) = 0;
  // The console's title, at most size bytes; nullopt when it cannot be read.
  virtual std::optional<std::string> ReadConsoleTitle(std::size_t size) = 0;
  // The top-level window bearing title; nullopt when there is none.
  virtual std::optional<WindowRef> FindTopLevelWindow(const std::string& title) = 0;
  virtual void MinimizeWindow(WindowRef window) = 0;

  // --- FTP --------------------------------------------------------------
  // Opens an Internet session for the named agent; nullptr on failure.
  virtual std::unique_ptr<InternetSession> OpenInternetSession(const std::string& agent) = 0;
  // Why the calling thread's last Internet operation failed: the server's
  // last reply when the server refused, else the client's own text;
  // nullopt when there is no description.
  virtual std::optional<std::string> InternetErrorText() = 0;
};

// The platform the tools run on. The entry installs it before any phase.
Platform& Host();
void SetHost(Platform* platform);

// The real platform of this build (Windows or Linux).
std::unique_ptr<Platform> CreateHostPlatform();

}  // namespace platform
