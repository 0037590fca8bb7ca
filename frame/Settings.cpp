#include "frame/Settings.h"

#include "frame/ModuleSiblingPath.h"
#include "platform/Platform.h"

namespace frame {

std::string ReadSettingsKey(const std::string& settingsPath, const std::string& key) {
  return platform::Host().ReadProfileString(settingsPath, kSettingsSection, key, kPathBufferSize);
}

void SeedSettingsKey(const std::string& settingsPath, const std::string& key) {
  platform::Host().WriteProfileString(settingsPath, kSettingsSection, key, "");
}

}  // namespace frame
