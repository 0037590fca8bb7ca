// The entry both tools share: run logs, header, console line, start-up,
// the tool's phases and the exit status.
#pragma once

#include <vector>

#include "frame/MessageTexts.h"

namespace frame {

struct Tool {
  // Run log names without the leading ".\": "Glyphfetch_Log%d.txt".
  const char* runLogNameFormat;
  // Opening text of the console line naming the log.
  const char* consoleLineOpening;
  const MessageTable* messages;
  // Returns 0 when the settings are complete, 1 when they are not.
  int (*settingsPhase)();
  // Run in order, and only when the settings phase returned 0.
  std::vector<void (*)()> furtherPhases;
};

// Runs one tool from start to end and returns the process exit status.
int RunTool(const Tool& tool);

}  // namespace frame
