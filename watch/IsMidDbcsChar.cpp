#include "watch/WatchSettings.h"

namespace watch {

namespace {

// Lead bytes of code page 932, whatever the process's own code page.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

bool IsMidDbcsChar(const std::string& text, std::size_t offset) {
  std::size_t p = 0;
  while (p < offset) p += IsLeadByte(static_cast<unsigned char>(text[p])) ? 2 : 1;
  return p != offset;
}

}  // namespace watch
