#include "fetch/FetchApp.h"
#include "frame/MessageTexts.h"
#include "frame/ModuleSiblingPath.h"
#include "frame/RunLog.h"
#include "platform/Platform.h"

namespace fetch {

namespace {

using frame::runLog;

// "ＦＴＰエラー", then the client's description of why, when it has one.
void WriteFtpError() {
  *runLog << "ＦＴＰエラー" << std::endl;
  if (const std::optional<std::string> description = platform::Host().InternetErrorText())
    *runLog << *description << std::endl;
}

// Logs in, downloads to the temporary file and closes the connection.
// True when the download succeeded.
bool Download(platform::InternetSession& session, const std::string& temporaryPath) {
  const std::unique_ptr<platform::FtpConnection> connection =
      session.GetFtpConnection(fetchApp.ftpAddress, fetchApp.ftpUserId, fetchApp.ftpPassword);
  if (!connection) {
    WriteFtpError();
    return false;
  }
  const bool downloaded = connection->GetFile(fetchApp.ftpFileName, temporaryPath);
  connection->Close();
  if (!downloaded) {
    WriteFtpError();
    return false;
  }
  *runLog << "ＦＴＰ受信完了しました。" << std::endl;
  return true;
}

void CopyToLocalFile(const std::string& temporaryPath) {
  if (platform::Host().CopyFileOver(temporaryPath, fetchApp.localFileName)) {
    *runLog << "指定ファイルへコピー完了しました。" << std::endl;
    return;
  }
  const platform::ErrorCode code = platform::Host().LastError();
  frame::WriteSystemFailure(
      frame::FormatText(frame::LoadMessage(1005), temporaryPath, fetchApp.localFileName), code);
}

}  // namespace

void FetchApp::FetchAndInstall() {
  const std::unique_ptr<platform::InternetSession> session =
      platform::Host().OpenInternetSession(AppName());
  // A session that cannot be opened is an FTP failure like any other.
  if (!session) {
    WriteFtpError();
    return;
  }
  const std::string temporaryPath = frame::ModuleSiblingPath(".tmp");
  const bool downloaded = Download(*session, temporaryPath);
  if (downloaded) CopyToLocalFile(temporaryPath);
  session->Close();
}

}  // namespace fetch
