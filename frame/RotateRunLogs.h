#pragma once

#include <string>

namespace frame {

// The name of run log number n (0 to 9) in the current directory, from a
// tool's name format such as "Glyphfetch_Log%d.txt": .\Glyphfetch_Log0.txt
// on Windows, ./Glyphfetch_Log0.txt on Linux.
std::string RunLogName(const char* nameFormat, int number);

// Keeps the last ten run logs: 8 becomes 9, ..., 0 becomes 1, so that no
// log 0 remains. Every failure is passed over in silence.
void RotateRunLogs(const char* nameFormat);

}  // namespace frame
