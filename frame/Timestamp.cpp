#include "frame/Timestamp.h"

#include <ctime>

namespace frame {

std::string FormatTimestamp(platform::FileTime time) {
  std::tm local{};
  if (!platform::Host().ToLocalTime(time, local)) return {};
  char text[64];
  const std::size_t length = std::strftime(text, sizeof text, kTimestampFormat, &local);
  return std::string(text, length);
}

}  // namespace frame
