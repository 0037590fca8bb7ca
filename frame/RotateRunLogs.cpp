#include "frame/RotateRunLogs.h"

#include "frame/MessageTexts.h"
#include "platform/Platform.h"

namespace frame {

std::string RunLogName(const char* nameFormat, int number) {
  return std::string(".") + platform::Host().PathSeparator() + FormatText(nameFormat, number);
}

void RotateRunLogs(const char* nameFormat) {
  for (int n = 8; n >= 0; --n) {
    // A log that cannot be removed blocks the rename onto its name, so the
    // older log keeps its place and the one below it is removed next pass.
    platform::Host().RemoveFile(RunLogName(nameFormat, n + 1));
    platform::Host().RenameFile(RunLogName(nameFormat, n), RunLogName(nameFormat, n + 1));
  }
}

}  // namespace frame
