#include "watch/WatchEudcFile.h"

#include "frame/RunLog.h"
#include "frame/Timestamp.h"
#include "platform/Platform.h"
#include "watch/ReplaceEudcFont.h"
#include "watch/WatchSettings.h"

namespace watch {

namespace {

using frame::FormatTimestamp;
using frame::runLog;

// A notification that keeps failing must not spin the processor, nor keep
// an unattended client watching nothing for ever.
constexpr unsigned kFailurePauseMs = 1000;
constexpr int kMaxFailuresInARow = 10;

// Acts on one wake; false when the watched file can no longer be examined.
bool CheckWatchedFile() {
  const std::optional<platform::FileTime> fileTime =
      platform::Host().LastWriteTime(WatchedFilePath());
  if (!fileTime) return false;
  *runLog << "更新チェック"
          << " Now=" << FormatTimestamp(*fileTime) << std::endl;
  // Any difference is a change: an older copy put back counts too.
  if (*fileTime == savedWriteTime) return true;
  *runLog << "外字更新を確認 Save=" << FormatTimestamp(savedWriteTime)
          << " Now=" << FormatTimestamp(*fileTime) << std::endl;
  ReplaceEudcFont();
  savedWriteTime = *fileTime;
  return true;
}

}  // namespace

void WatchEudcFile() {
  platform::Platform& host = platform::Host();
  *runLog << "監視開始" << std::endl;
  std::unique_ptr<platform::ChangeNotification> notification = host.WatchFolder(watchFolder);
  if (!notification) {
    *runLog << "監視用ハンドラの登録に失敗（設定ファイルを確認）" << std::endl;
    return;
  }

  int failuresInARow = 0;
  while (failuresInARow < kMaxFailuresInARow) {
    if (notification->Wait()) {
      if (!CheckWatchedFile()) {
        *runLog << "監視外字ファイル異常（ステータス取得不可）" << std::endl;
        return;
      }
      failuresInARow = 0;
    } else {
      ++failuresInARow;
    }
    // The handle is armed again only after the replacement has returned.
    if (!notification->Rearm()) ++failuresInARow;
    if (failuresInARow > 0) host.Sleep(kFailurePauseMs);
  }
}

void ReportWatchEnd() { *runLog << "監視異常終了！！！" << std::endl; }

}  // namespace watch
