#pragma once

namespace watch {

// Waits for changes in the watched folder and installs the watched file
// whenever its last-write time changes. Returns when the folder cannot be
// watched or the watched file can no longer be examined.
void WatchEudcFile();

// Logs that watching has ended.
void ReportWatchEnd();

}  // namespace watch
