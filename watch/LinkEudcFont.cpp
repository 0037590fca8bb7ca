#include "watch/LinkEudcFont.h"

#include "platform/Platform.h"
#include "watch/WatchSettings.h"

namespace watch {

namespace {

// The system default link is never removed, only pointed back at the
// system's own EUDC font.
constexpr char kSystemEudcFont[] = "EUDC.TTE";

int ChangeLink(platform::RegistryKey& key, const std::string& fontPath,
               const std::string& valueName) {
  if (!fontPath.empty())
    return key.SetStringValue(valueName, fontPath) == 0 ? kLinked : kValueNotSet;
  if (valueName == kDefaultLinkFontName)
    return key.SetStringValue(valueName, kSystemEudcFont) == 0 ? kLinked : kValueNotSet;
  return key.DeleteValue(valueName) == 0 ? kLinked : kValueNotDeleted;
}

}  // namespace

int LinkEudcFont(std::string fontPath, std::string valueName, std::string codePage) {
  platform::Platform& host = platform::Host();
  const std::unique_ptr<platform::Library> gdi = host.LoadSystemLibrary("GDI32.DLL");
  if (!gdi) return kLibraryNotLoaded;
  const platform::EudcSwitch enableEudc = gdi->FindEudcSwitch("EnableEUDC");
  // Without the switch nothing may change: the same as no library.
  if (!enableEudc) {
    gdi->Release();
    return kLibraryNotLoaded;
  }
  enableEudc(false);

  const std::unique_ptr<platform::RegistryKey> key = host.OpenUserKey("EUDC\\" + codePage);
  if (!key) {
    enableEudc(true);
    gdi->Release();
    return kKeyNotOpened;
  }
  const int result = ChangeLink(*key, fontPath, valueName);
  key->Close();

  enableEudc(true);
  gdi->Release();
  return result;
}

}  // namespace watch
