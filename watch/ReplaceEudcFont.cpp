#include "watch/ReplaceEudcFont.h"

#include "frame/MessageTexts.h"
#include "frame/RunLog.h"
#include "watch/LinkEudcFont.h"
#include "watch/WatchSettings.h"

namespace watch {

namespace {

using frame::FormatText;
using frame::LoadMessage;
using frame::runLog;

// Linked while the font file is copied, so the system lets go of it.
constexpr char kPlaceholderFont[] = "__dummy__.tte";
constexpr char kCodePage[] = "932";

void ReleaseLink() {
  const int result = LinkEudcFont(kPlaceholderFont, linkFontName, kCodePage);
  if (result != kLinked) *runLog << FormatText(LoadMessage(1006), result) << std::endl;
}

void CopyFont() {
  platform::Platform& host = platform::Host();
  const std::string sourcePath = WatchedFilePath();
  if (host.CopyFileOver(sourcePath, targetFontPath)) {
    *runLog << "外字ファイルコピー完了" << std::endl;
    return;
  }
  const platform::ErrorCode code = host.LastError();
  frame::WriteSystemFailure(FormatText(LoadMessage(1003), sourcePath, targetFontPath), code);
}

void LinkCopy() {
  const int result = LinkEudcFont(targetFontPath, linkFontName, kCodePage);
  if (result == kLinked)
    *runLog << FormatText(LoadMessage(1005), targetFontPath) << std::endl;
  else
    *runLog << FormatText(LoadMessage(1004), targetFontPath, result) << std::endl;
}

}  // namespace

void ReplaceEudcFont() {
  ReleaseLink();
  CopyFont();
  LinkCopy();
}

}  // namespace watch
