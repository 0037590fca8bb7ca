// The stand-in for what Linux lacks: the Windows directory, the per-user
// registry and the EUDC switch, kept in one folder of the user's, like a
// Wine prefix. Everything in it is a plain file an administrator can read:
//
//   $GLYPH_PREFIX (default ${XDG_DATA_HOME:-$HOME/.local/share}/glyph-prefix)
//     windows/Fonts/                        the Windows directory and its fonts
//     registry/HKEY_CURRENT_USER/EUDC/932/  a key is a folder ...
//       SystemDefaultEUDCFont               ... and a string value one file
//                                           holding the string's bytes
//     eudc-switch                           "on" or "off": the EUDC switch now
//     eudc-switch.log                       one line per switching, in order
//
// scripts/glyph-prefix creates the folder with its EUDC key.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/posix/AtomicFile.h"
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Windows compares key, value and library names without regard to ASCII
// case; double-byte characters are compared as they are.
bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (!home.empty()) return home;
  const passwd* user = getpwuid(getuid());
  return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : ".";
}

std::string PrefixFolder() {
  std::string prefix = EnvironmentValue("GLYPH_PREFIX");
  if (!prefix.empty()) return prefix;
  std::string data = EnvironmentValue("XDG_DATA_HOME");
  if (data.empty()) data = HomeFolder() + "/.local/share";
  return data + "/glyph-prefix";
}

// A key is opened for all access: its folder must be there and writable.
bool CanOpenKey(const std::string& folder) {
  struct stat status {};
  if (stat(folder.c_str(), &status) != 0) return Fail(errno);
  if (!S_ISDIR(status.st_mode)) return Fail(ENOTDIR);
  return access(folder.c_str(), R_OK | W_OK | X_OK) == 0 || Fail(errno);
}

// A name that is one file name of the folder: no separator, not "." or
// "..", so no name can reach outside the stand-in folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// The entry of folder named name without regard to case, else name as
// given: an existing key or value keeps the spelling it was created with.
std::string MatchingEntry(const std::string& folder, const std::string& name, bool wantFolder) {
  // Mostly the name is spelled as it was created: no need to read the folder.
  struct stat status {};
  if (lstat((folder + "/" + name).c_str(), &status) == 0 && S_ISDIR(status.st_mode) == wantFolder)
    return name;
  DIR* entries = opendir(folder.c_str());
  if (entries == nullptr) return name;
  std::string found = name;
  while (const dirent* entry = readdir(entries)) {
    const bool isFolder = entry->d_type == DT_DIR;
    if (entry->d_type != DT_UNKNOWN && isFolder != wantFolder) continue;
    if (SameName(entry->d_name, name)) {
      found = entry->d_name;
      break;
    }
  }
  closedir(entries);
  return found;
}

// The folder of a key: each part of the key path one folder.
std::optional<std::string> KeyFolder(const std::string& subkey) {
  std::string folder = PrefixFolder() + "/registry/HKEY_CURRENT_USER";
  std::size_t begin = 0;
  for (;;) {
    const std::size_t end = subkey.find('\\', begin);
    const std::string part = subkey.substr(begin, end - begin);
    if (!IsPlainName(part)) return std::nullopt;
    folder += "/" + MatchingEntry(folder, part, true);
    if (end == std::string::npos) return folder;
    begin = end + 1;
  }
}

std::string ValueFile(const std::string& keyFolder, const std::string& name) {
  return keyFolder + "/" + MatchingEntry(keyFolder, name, false);
}

class PrefixKey final : public RegistryKey {
 public:
  explicit PrefixKey(std::string folder) : folder_(std::move(folder)) {}

  long SetStringValue(const std::string& name, const std::string& data) override {
    if (closed_) return EBADF;
    if (!IsPlainName(name)) return EINVAL;
    // A reader of the value sees the old string or the new one, never a mix.
    if (WriteFileAtomically(ValueFile(folder_, name), data)) return 0;
    return static_cast<long>(LastFailure());
  }

  long DeleteValue(const std::string& name) override {
    if (closed_) return EBADF;
    if (!IsPlainName(name)) return EINVAL;
    if (unlink(ValueFile(folder_, name).c_str()) == 0) return 0;
    return errno;
  }

  void Close() override { closed_ = true; }

 private:
  std::string folder_;
  bool closed_ = false;
};

// Records the switch's state and, for whoever looks afterwards, its history.
// Like the system's switch it is state of the running machine, so it is not
// forced to disk: that would cost most of the time a replacement takes.
void SetEudcSwitch(const std::string& prefix, bool on) {
  const std::string state = on ? "on\n" : "off\n";
  WriteFileAtomically(prefix + "/eudc-switch", state, false);
  const int log =
      open((prefix + "/eudc-switch.log").c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (log < 0) return;
  // One write to an append-only file: lines never interleave.
  [[maybe_unused]] const ssize_t written = write(log, state.data(), state.size());
  close(log);
}

class GdiLibrary final : public Library {
 public:
  explicit GdiLibrary(std::string prefix) : prefix_(std::move(prefix)) {}

  // Entry points are looked up by their exact name, as GetProcAddress does.
  EudcSwitch FindEudcSwitch(const std::string& entryName) override {
    if (entryName != "EnableEUDC") {
      Fail(ENOENT);
      return {};
    }
    return [prefix = prefix_](bool on) { SetEudcSwitch(prefix, on); };
  }

  void Release() override {}

 private:
  std::string prefix_;
};

}  // namespace

std::string PosixPlatform::WindowsDirectory() { return PrefixFolder() + "/windows"; }

std::unique_ptr<RegistryKey> PosixPlatform::OpenUserKey(const std::string& subkey) {
  const std::optional<std::string> folder = KeyFolder(subkey);
  if (!folder) {
    Fail(EINVAL);
    return nullptr;
  }
  if (!CanOpenKey(*folder)) return nullptr;
  return std::make_unique<PrefixKey>(*folder);
}

std::unique_ptr<Library> PosixPlatform::LoadSystemLibrary(const std::string& name) {
  if (!SameName(name, "GDI32.DLL")) {
    Fail(ENOENT);
    return nullptr;
  }
  return std::make_unique<GdiLibrary>(PrefixFolder());
}

}  // namespace platform::posix
