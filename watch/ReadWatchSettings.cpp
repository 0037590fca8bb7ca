#include "frame/MessageTexts.h"
#include "frame/ModuleSiblingPath.h"
#include "frame/RunLog.h"
#include "frame/Settings.h"
#include "watch/WatchSettings.h"

namespace watch {

namespace {

using frame::runLog;

// Splits the watched file's path into watchFolder and watchFileName. A path
// without a folder part (no separator, or only a leading one) leaves
// watchFolder empty.
void SplitWatchedPath(const std::string& path) {
  watchFileName = FileNameOf(path);
  const auto count = static_cast<long>(path.size()) - static_cast<long>(watchFileName.size()) - 1;
  if (count > 0) watchFolder = path.substr(0, static_cast<std::size_t>(count));
}

void WriteEcho(bool linkFontGiven) {
  *runLog << "監視フォルダ　　：" << watchFolder << std::endl;
  *runLog << "監視外字ファイル：└─ " << watchFileName << std::endl;
  *runLog << "置換外字ファイル：" << targetFontPath << std::endl;
  *runLog << "リンク先フォント：" << (linkFontGiven ? linkFontName : "全てのフォント") << std::endl
          << std::endl;
}

}  // namespace

int ReadWatchSettings() {
  platform::Platform& host = platform::Host();
  *runLog << "監視用の設定情報読み込み" << std::endl << std::endl;
  const std::string settingsPath = frame::ModuleSiblingPath(".ini");

  const std::string watchedPath = frame::ReadSettingsKey(settingsPath, "WatchEudcTTE");
  if (watchedPath.empty()) {
    frame::SeedSettingsKey(settingsPath, "WatchEudcTTE");
    frame::WriteReport(frame::LoadMessage(1000));
    return 1;
  }
  SplitWatchedPath(watchedPath);

  const std::optional<platform::FileTime> writeTime = host.LastWriteTime(watchedPath);
  if (!writeTime) {
    frame::WriteReport(frame::FormatText(frame::LoadMessage(1001), watchedPath));
    return 1;
  }
  savedWriteTime = *writeTime;

  const std::string targetName = frame::ReadSettingsKey(settingsPath, "TargetEudcFont");
  if (targetName.empty()) {
    frame::SeedSettingsKey(settingsPath, "TargetEudcFont");
    frame::WriteReport(frame::LoadMessage(1002));
    return 1;
  }
  const char separator = host.PathSeparator();
  targetFontPath = host.WindowsDirectory() + separator + "Fonts" + separator + targetName;

  const std::string linkFont = frame::ReadSettingsKey(settingsPath, "LinkFont");
  if (linkFont.empty()) {
    // Optional: without it every font gets the EUDC font.
    frame::SeedSettingsKey(settingsPath, "LinkFont");
  } else {
    linkFontName = linkFont;
  }

  WriteEcho(!linkFont.empty());
  return 0;
}

}  // namespace watch
