// Whole-file replacement that never leaves a partial file: the new content
// goes to a temporary file beside the destination and replaces it by rename.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform::posix {

// Replaces path with content. On failure the old file is untouched and the
// thread's last error tells why. A durable write reaches the disk before
// the rename; one that need not outlive the machine's uptime skips that.
bool WriteFileAtomically(const std::string& path, const std::string& content, bool durable = true);

// Replaces path with what fill writes into the descriptor it is given; fill
// returns false to give up, and the old file is then untouched. Durable: the
// new content is on disk before it replaces the old.
bool WriteFileAtomically(const std::string& path, const std::function<bool(int)>& fill,
                         bool durable);

// Writes all of data to fd, going on after short writes and interruptions.
bool WriteAll(int fd, const char* data, std::size_t size);

// Replaces destination with a copy of source, with source's last-write
// time and permissions. On failure the old destination is untouched. Like
// the Windows copy, it is not forced to disk: a killed process or a full
// disk still leaves the old file whole, and forcing would double the time
// a large install takes.
bool CopyFileAtomically(const std::string& source, const std::string& destination);

}  // namespace platform::posix
