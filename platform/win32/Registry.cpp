// The Windows directory, the per-user registry and the EUDC switch of the
// graphics library.
#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace platform::win32 {

namespace {

class Win32RegistryKey final : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { Close(); }

  long SetStringValue(const std::string& name, const std::string& data) override {
    // REG_SZ data is stored with its terminating NUL.
    return RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1));
  }

  long DeleteValue(const std::string& name) override { return RegDeleteValueA(key_, name.c_str()); }

  void Close() override {
    if (key_ == nullptr) return;
    RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_;
};

// EnableEUDC's own shape; WINAPI matters on 32-bit Windows (stdcall).
using EnableEudcFunction = BOOL(WINAPI*)(BOOL);

class Win32Library final : public Library {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  ~Win32Library() override { Release(); }

  EudcSwitch FindEudcSwitch(const std::string& entryName) override {
    const FARPROC entry = GetProcAddress(module_, entryName.c_str());
    if (entry == nullptr) return {};
    // Through the generic function pointer type, which GCC allows to be
    // cast to any function type.
    const auto function = reinterpret_cast<EnableEudcFunction>(reinterpret_cast<void (*)()>(entry));
    return [function](bool on) { function(on ? TRUE : FALSE); };
  }

  void Release() override {
    if (module_ == nullptr) return;
    FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_;
};

}  // namespace

std::string Win32Platform::WindowsDirectory() {
  char path[kPathBufferSize];
  const UINT length = GetWindowsDirectoryA(path, kPathBufferSize);
  if (length == 0 || length >= kPathBufferSize) return {};
  return std::string(path, length);
}

std::unique_ptr<RegistryKey> Win32Platform::OpenUserKey(const std::string& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return nullptr;
  return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<Library> Win32Platform::LoadSystemLibrary(const std::string& name) {
  const HMODULE module = LoadLibraryA(name.c_str());
  if (module == nullptr) return nullptr;
  return std::make_unique<Win32Library>(module);
}

}  // namespace platform::win32
