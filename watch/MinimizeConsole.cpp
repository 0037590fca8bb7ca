#include "watch/MinimizeConsole.h"

#include "frame/MessageTexts.h"
#include "frame/Timestamp.h"
#include "platform/Platform.h"

namespace watch {

namespace {

constexpr unsigned kPollIntervalMs = 100;
constexpr std::size_t kTitleReadSize = 255;
// The window is found by its title, so it is looked up only once the title
// has taken; when someone else keeps changing it, watching must still begin.
constexpr int kMaxPolls = 50;

}  // namespace

void MinimizeConsole() {
  platform::Platform& host = platform::Host();
  if (!host.HasConsoleWindow()) return;
  const std::string title =
      frame::FormatText("Glyphwarden_%s", frame::FormatTimestamp(host.CurrentTime()));
  host.SetConsoleTitleText(title);

  for (int poll = 0; poll < kMaxPolls; ++poll) {
    host.Sleep(kPollIntervalMs);
    const std::optional<std::string> readBack = host.ReadConsoleTitle(kTitleReadSize);
    if (!readBack) return;
    if (*readBack != title) continue;
    if (const std::optional<platform::WindowRef> window = host.FindTopLevelWindow(*readBack))
      host.MinimizeWindow(*window);
    return;
  }
}

}  // namespace watch
