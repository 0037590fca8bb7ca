#pragma once

#include <string>

namespace frame {

// Bytes of a path or settings value, and the buffer that holds it.
inline constexpr std::size_t kMaxPathBytes = 260;
inline constexpr std::size_t kPathBufferSize = kMaxPathBytes + 1;

// The executable's full path with its extension replaced by suffix (".ini",
// ".tmp"): C:\Tools\Glyphfetch.exe gives C:\Tools\Glyphfetch.ini. A name
// without a three-letter extension gets the suffix appended.
std::string ModuleSiblingPath(const std::string& suffix);

}  // namespace frame
