// Reading and seeding keys of the settings file beside the executable.
#pragma once

#include <string>

namespace frame {

inline constexpr char kSettingsSection[] = "Settings";

// The key's value in section "Settings", cut to 260 bytes; empty when the
// key is absent or has no value, which both count as missing.
std::string ReadSettingsKey(const std::string& settingsPath, const std::string& key);

// Adds key= to section "Settings" so that the user finds the key to fill in.
// Whether that worked is not looked at: the next run reports the key again.
void SeedSettingsKey(const std::string& settingsPath, const std::string& key);

}  // namespace frame
