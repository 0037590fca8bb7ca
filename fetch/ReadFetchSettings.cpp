#include <array>

#include "fetch/FetchApp.h"
#include "frame/MessageTexts.h"
#include "frame/ModuleSiblingPath.h"
#include "frame/RunLog.h"
#include "frame/Settings.h"

namespace fetch {

namespace {

struct FetchKey {
  const char* key;
  std::string FetchApp::*field;
  int message;
};

// The order of reading and checking.
const std::array<FetchKey, 5> kFetchKeys = {{
    {"FtpAddress", &FetchApp::ftpAddress, 1000},
    {"FtpUserID", &FetchApp::ftpUserId, 1001},
    {"FtpPassword", &FetchApp::ftpPassword, 1002},
    {"FtpFileName", &FetchApp::ftpFileName, 1003},
    {"LocalFileName", &FetchApp::localFileName, 1004},
}};

void WriteEcho() {
  using frame::runLog;
  *runLog << "ＦＴＰ設定：" << std::endl;
  *runLog << "Address 　= >" << fetchApp.ftpAddress << "<" << std::endl;
  *runLog << "UserID  　= >" << fetchApp.ftpUserId << "<" << std::endl;
  // The password never reaches the log, not even its length.
  *runLog << "Paaword 　= >******<" << std::endl;
  *runLog << "GetFile\t　= >" << fetchApp.ftpFileName << "<" << std::endl;
  *runLog << "LocalFile = >" << fetchApp.localFileName << "<" << std::endl;
  *runLog << std::endl;
}

}  // namespace

int ReadFetchSettings() {
  *frame::runLog << "ＦＴＰの設定情報読み込み" << std::endl << std::endl;
  const std::string settingsPath = frame::ModuleSiblingPath(".ini");

  for (const FetchKey& entry : kFetchKeys) {
    const std::string value = frame::ReadSettingsKey(settingsPath, entry.key);
    if (value.empty()) {
      frame::SeedSettingsKey(settingsPath, entry.key);
      frame::WriteReport(frame::LoadMessage(entry.message));
      return 1;
    }
    fetchApp.*entry.field = value;
  }

  WriteEcho();
  return 0;
}

}  // namespace fetch
