// The run log: every report of a tool goes here, a line at a time.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace frame {

// The process-wide run log, owned by the entry; null before it is opened.
// Lines end with std::endl, which flushes; each "\n" is stored as CR LF.
extern std::ostream* runLog;

// Opens a fresh run log on path. The stream is in a failed state, and
// discards every write, when the file cannot be opened.
std::unique_ptr<std::ostream> OpenRunLog(const std::string& path);

// Writes a report: the text, then an empty line.
void WriteReport(const std::string& text);

}  // namespace frame
