// The timestamp text of the log header, the console title and change lines.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace frame {

// Year, month, day, underscore, then hour:minute:second, in local time:
// 20031211_09:07:45.
inline constexpr char kTimestampFormat[] = "%Y%m%d_%H:%M:%S";

// A time rendered with kTimestampFormat; empty when it cannot be converted.
std::string FormatTimestamp(platform::FileTime time);

}  // namespace frame
