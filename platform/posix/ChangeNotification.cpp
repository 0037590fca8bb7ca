// Folder change notification on Linux, over inotify.
//
// Windows signals a change of a file's last-write time; on Linux those
// moments are a file closed after writing, a file renamed into the folder
// (the usual atomic replacement) and a changed time or attribute (touch,
// a copy that keeps the time). A plain write without a close is not one:
// the writer is still busy and the file may be half written.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

constexpr std::uint32_t kLastWriteEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_ATTRIB;

class InotifyNotification final : public ChangeNotification {
 public:
  explicit InotifyNotification(int fd) : fd_(fd) {}
  ~InotifyNotification() override { close(fd_); }

  // Sleeps in poll() until events are queued, then takes all of them:
  // a burst of writes makes one wake.
  bool Wait() override {
    for (;;) {
      if (folderGone_) return Fail(ENOENT);
      pollfd ready{fd_, POLLIN, 0};
      if (poll(&ready, 1, -1) < 0) {
        if (errno == EINTR) continue;
        return Fail(errno);
      }
      const std::optional<bool> drained = Drain();
      if (!drained) return false;
      if (*drained) return true;
    }
  }

  // Events go on queueing between a wake and now, so a change made while
  // the font was being replaced is already waiting: nothing to take back.
  bool Rearm() override { return !folderGone_ || Fail(ENOENT); }

 private:
  // Reads every queued event; whether there was any, nullopt on failure.
  std::optional<bool> Drain() {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    for (;;) {
      const ssize_t got = read(fd_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0 && errno == EAGAIN) return any;
      if (got <= 0) {
        Fail(got < 0 ? errno : EIO);
        return std::nullopt;
      }
      any = true;
      NoteFolderGone(buffer, static_cast<std::size_t>(got));
    }
  }

  // The folder itself deleted or unmounted: this wake lets the watcher find
  // its file gone; later waits fail rather than sleep for ever.
  void NoteFolderGone(const char* events, std::size_t size) {
    for (std::size_t at = 0; at < size;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      if ((event->mask & IN_IGNORED) != 0) folderGone_ = true;
      at += sizeof(inotify_event) + event->len;
    }
  }

  int fd_;
  bool folderGone_ = false;
};

}  // namespace

std::unique_ptr<ChangeNotification> PosixPlatform::WatchFolder(const std::string& folder) {
  // Windows refuses an empty folder name rather than watching the
  // current directory.
  if (folder.empty()) {
    Fail(ENOENT);
    return nullptr;
  }
  const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    Fail(errno);
    return nullptr;
  }
  // Only the folder itself: its subfolders are not watched.
  if (inotify_add_watch(fd, folder.c_str(), kLastWriteEvents | IN_ONLYDIR) < 0) {
    Fail(errno);
    close(fd);
    return nullptr;
  }
  return std::make_unique<InotifyNotification>(fd);
}

}  // namespace platform::posix
