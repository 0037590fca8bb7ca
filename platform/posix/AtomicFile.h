// Whole-file replacement that never leaves a partial file: the new content
// goes to a temporary file beside the destination and replaces it by rename.
#pragma once

#include <string>

namespace platform::posix {

// Replaces path with content. On failure the old file is untouched and the
// thread's last error tells why. A durable write reaches the disk before
// the rename; one that need not outlive the machine's uptime skips that.
bool WriteFileAtomically(const std::string& path, const std::string& content, bool durable = true);

// Replaces destination with a copy of source, with source's last-write
// time and permissions. On failure the old destination is untouched.
bool CopyFileAtomically(const std::string& source, const std::string& destination);

}  // namespace platform::posix
