#pragma once

#include <string>

namespace watch {

// Results of LinkEudcFont.
inline constexpr int kLinked = 0;
inline constexpr int kLibraryNotLoaded = -1;
inline constexpr int kKeyNotOpened = -2;
inline constexpr int kValueNotSet = -3;
inline constexpr int kValueNotDeleted = -4;

// Points the per-user EUDC font link valueName under EUDC\<codePage> at
// fontPath, or removes the link when fontPath is empty, with the system's
// EUDC support switched off around the change. Returns 0 or -1 to -4.
int LinkEudcFont(std::string fontPath, std::string valueName, std::string codePage);

}  // namespace watch
