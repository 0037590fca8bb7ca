// Folder change notification of Windows.
#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

class Win32ChangeNotification final : public ChangeNotification {
 public:
  explicit Win32ChangeNotification(HANDLE handle) : handle_(handle) {}
  ~Win32ChangeNotification() override { FindCloseChangeNotification(handle_); }

  bool Wait() override { return WaitForSingleObject(handle_, INFINITE) == WAIT_OBJECT_0; }
  bool Rearm() override { return FindNextChangeNotification(handle_) != FALSE; }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<ChangeNotification> Win32Platform::WatchFolder(const std::string& folder) {
  const HANDLE handle =
      FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32ChangeNotification>(handle);
}

}  // namespace platform::win32
