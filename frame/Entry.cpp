#include "frame/Entry.h"

#include "frame/RotateRunLogs.h"
#include "frame/RunLog.h"
#include "frame/Timestamp.h"
#include "platform/Platform.h"

namespace frame {

namespace {

void WriteHeader() {
  *runLog << "ログ開始日時：" << FormatTimestamp(platform::Host().CurrentTime()) << std::endl
          << std::endl;
}

int RunPhases(const Tool& tool) {
  const int status = tool.settingsPhase();
  if (status != 0) return status;
  for (const auto phase : tool.furtherPhases) phase();
  return 0;
}

}  // namespace

int RunTool(const Tool& tool) {
  platform::Platform& host = platform::Host();
  UseMessageTable(tool.messages);

  RotateRunLogs(tool.runLogNameFormat);
  const std::string logName = RunLogName(tool.runLogNameFormat, 0);
  std::unique_ptr<std::ostream> log = OpenRunLog(logName);
  runLog = log.get();
  // An unattended client has nobody watching the console, but a log that
  // cannot be written must not go missing without a word.
  if (!*runLog) host.WriteErrorLine("run log cannot be opened: " + logName);

  WriteHeader();
  host.WriteConsoleLine(tool.consoleLineOpening + logName + ")");

  int status = 1;
  if (!host.Initialize()) {
    host.WriteErrorLine("Fatal Error: MFC initialization failed");
  } else {
    status = RunPhases(tool);
  }

  runLog = nullptr;
  log.reset();
  return status;
}

}  // namespace frame
