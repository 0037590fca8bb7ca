// Glyphfetch: downloads the master EUDC font and copies it over the local file.
#include "fetch/FetchTool.h"
#include "platform/Platform.h"

int main() {
  const std::unique_ptr<platform::Platform> host = platform::CreateHostPlatform();
  platform::SetHost(host.get());
  return frame::RunTool(fetch::kGlyphfetch);
}
