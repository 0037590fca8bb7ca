#include "platform/posix/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

bool CopyContent(int from, int to) {
  // The kernel copies without a trip through user space where it can.
  for (;;) {
    const ssize_t copied = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (copied == 0) return true;
    if (copied > 0) continue;
    if (errno == EINTR) continue;
    if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
    break;
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(from, buffer, sizeof buffer);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (!WriteAll(to, buffer, static_cast<std::size_t>(got))) return false;
  }
}

// Writes a temporary file beside destination with fill, makes it durable
// (when asked) and renames it over destination. The temporary file never outlives a
// failure of this process.
bool ReplaceWith(const std::string& destination, const std::function<bool(int)>& fill,
                 bool durable = true) {
  std::string temporary = FolderOf(destination) + "/." + NameOf(destination) + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return Fail(errno);
  bool written = fill(fd) && (!durable || fdatasync(fd) == 0);
  int error = errno;
  if (close(fd) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && rename(temporary.c_str(), destination.c_str()) == 0) return true;
  if (written) error = errno;
  unlink(temporary.c_str());
  return Fail(error);
}

}  // namespace

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(int)>& fill,
                         bool durable) {
  struct stat old {};
  const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0;
  return ReplaceWith(
      path,
      [&](int fd) {
        if (mode != 0 && fchmod(fd, mode) != 0) return false;
        if (mode == 0) {
          // A new file gets the usual permissions, as an ordinary create would.
          const mode_t mask = umask(0);
          umask(mask);
          if (fchmod(fd, 0666 & ~mask) != 0) return false;
        }
        return fill(fd);
      },
      durable);
}

bool WriteFileAtomically(const std::string& path, const std::string& content, bool durable) {
  return WriteFileAtomically(
      path, [&](int fd) { return WriteAll(fd, content.data(), content.size()); }, durable);
}

bool CopyFileAtomically(const std::string& source, const std::string& destination) {
  const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (from < 0) return Fail(errno);
  struct stat status {};
  if (fstat(from, &status) != 0) {
    const int error = errno;
    close(from);
    return Fail(error);
  }
  const bool copied = ReplaceWith(
      destination,
      [&](int to) {
        if (!CopyContent(from, to)) return false;
        const timespec times[2] = {status.st_atim, status.st_mtim};
        return fchmod(to, status.st_mode & 07777) == 0 && futimens(to, times) == 0;
      },
      false);
  close(from);
  return copied;
}

}  // namespace platform::posix
