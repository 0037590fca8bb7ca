#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

std::unique_ptr<std::ostream> PosixPlatform::CreateOutputFile(const std::string& path) {
  return std::make_unique<std::ofstream>(path, std::ios::out | std::ios::trunc | std::ios::binary);
}

std::optional<FileTime> PosixPlatform::LastWriteTime(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    Fail(errno);
    return std::nullopt;
  }
  return static_cast<FileTime>(status.st_mtim.tv_sec);
}

bool PosixPlatform::RemoveFile(const std::string& path) {
  return unlink(path.c_str()) == 0 || Fail(errno);
}

bool PosixPlatform::RenameFile(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return Fail(errno);
  // A file system without no-replace renames: a hard link refuses to
  // replace as well.
  if (link(from.c_str(), to.c_str()) != 0) return Fail(errno);
  return unlink(from.c_str()) == 0 || Fail(errno);
}

bool PosixPlatform::CopyFileOver(const std::string& source, const std::string& destination) {
  return CopyFileAtomically(source, destination);
}

}  // namespace platform::posix
