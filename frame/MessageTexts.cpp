#include "frame/MessageTexts.h"

#include "frame/RunLog.h"

namespace frame {

namespace {
const MessageTable* currentTable = nullptr;
}

void UseMessageTable(const MessageTable* table) { currentTable = table; }

std::string LoadMessage(int number) {
  if (currentTable == nullptr) return {};
  const auto found = currentTable->find(number);
  return found == currentTable->end() ? std::string() : std::string(found->second);
}

void WriteSystemFailure(const std::string& line, platform::ErrorCode code) {
  const std::optional<std::string> systemText = platform::Host().SystemErrorText(code);
  *runLog << line << std::endl;
  // Without a system text the code itself still tells an administrator
  // what to look up.
  *runLog << (systemText ? *systemText : FormatText("エラーコード：%u", code)) << std::endl;
}

}  // namespace frame
