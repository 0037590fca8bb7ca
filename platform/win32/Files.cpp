#include <windows.h>

#include <fstream>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

// Seconds between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;
constexpr std::int64_t kFileTimeTicksPerSecond = 10000000;

FileTime ToUnixSeconds(const FILETIME& time) {
  const std::int64_t ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return ticks / kFileTimeTicksPerSecond - kEpochDifferenceSeconds;
}

std::string FolderOf(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string(".") : path.substr(0, separator);
}

}  // namespace

// A name beside destination that no other running copy of the tools uses.
std::string TemporaryNameBeside(const std::string& destination) {
  char name[32];
  wsprintfA(name, "\\~gly%08lX.tmp", GetCurrentProcessId());
  return FolderOf(destination) + name;
}

// The frame writes the line ends itself, so the file takes bytes as given;
// other processes may read (and write) it while the tool runs.
std::unique_ptr<std::ostream> Win32Platform::CreateOutputFile(const std::string& path) {
  return std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc | std::ios::binary);
}

std::optional<FileTime> Win32Platform::LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return ToUnixSeconds(data.ftLastWriteTime);
}

bool Win32Platform::RemoveFile(const std::string& path) {
  return DeleteFileA(path.c_str()) != FALSE;
}

bool Win32Platform::RenameFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

// The copy goes to a temporary file in the destination's folder first and
// then replaces the destination in one step, so that a broken copy never
// leaves a half-written font or settings file behind.
bool Win32Platform::CopyFileOver(const std::string& source, const std::string& destination) {
  const std::string temporary = TemporaryNameBeside(destination);
  if (CopyFileA(source.c_str(), temporary.c_str(), FALSE) &&
      MoveFileExA(temporary.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING))
    return true;
  const DWORD error = GetLastError();
  DeleteFileA(temporary.c_str());
  SetLastError(error);
  return false;
}

}  // namespace platform::win32
