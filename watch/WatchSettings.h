// The watch tool's process-wide settings, filled once by ReadWatchSettings.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace watch {

// Folder of the watched file, without a trailing separator.
extern std::string watchFolder;
// File name of the watched file.
extern std::string watchFileName;
// The watched file's last-write time last acted on.
extern platform::FileTime savedWriteTime;
// Name of the registry value that links the EUDC font.
extern std::string linkFontName;
// Where the font is installed: Windows directory, Fonts, TargetEudcFont.
extern std::string targetFontPath;

inline constexpr char kDefaultLinkFontName[] = "SystemDefaultEUDCFont";

// The watched file's full path, rebuilt from folder and name.
std::string WatchedFilePath();

// Reads WatchEudcTTE, TargetEudcFont and LinkFont; 0 when the settings are
// complete and the watched file exists, 1 after reporting the first problem.
int ReadWatchSettings();

// The part of path after its last separator, or the whole path.
std::string FileNameOf(const std::string& path);

// True when the byte at offset is the second byte of a code-page-932
// double-byte character, counting from the first byte of text.
bool IsMidDbcsChar(const std::string& text, std::size_t offset);

}  // namespace watch
