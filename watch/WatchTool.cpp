#include "watch/WatchTool.h"

#include "watch/MinimizeConsole.h"
#include "watch/WatchEudcFile.h"
#include "watch/WatchMessages.h"
#include "watch/WatchSettings.h"

namespace watch {

const frame::Tool kGlyphwarden = {
    "Glyphwarden_Log%d.txt",
    "Glyphwarden処理中：ログ出力(",
    &kWatchMessages,
    &ReadWatchSettings,
    {&MinimizeConsole, &WatchEudcFile, &ReportWatchEnd},
};

}  // namespace watch
