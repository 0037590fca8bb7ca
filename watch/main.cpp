// Glyphwarden: installs the watched EUDC font each time it changes.
#include "platform/Platform.h"
#include "watch/WatchTool.h"

int main() {
  const std::unique_ptr<platform::Platform> host = platform::CreateHostPlatform();
  platform::SetHost(host.get());
  return frame::RunTool(watch::kGlyphwarden);
}
