#include <gtest/gtest.h>

#include "tests/FakePlatform.h"
#include "watch/LinkEudcFont.h"

namespace {

using testing_support::FakeHost;
using testing_support::FakePlatform;
using Calls = std::vector<std::string>;

constexpr char kKey[] = "EUDC\\932";
constexpr char kTarget[] = "C:\\WINDOWS\\Fonts\\EUDC.TTE";

// The calls of a whole link change, with the registry step in the middle.
Calls AroundKey(const Calls& keyCalls) {
  Calls calls = {"LoadLibrary GDI32.DLL", "GetProcAddress EnableEUDC", "EnableEUDC 0",
                 "OpenKey EUDC\\932"};
  calls.insert(calls.end(), keyCalls.begin(), keyCalls.end());
  calls.insert(calls.end(), {"CloseKey", "EnableEUDC 1", "FreeLibrary"});
  return calls;
}

struct LinkCase {
  const char* name;
  std::function<void(FakePlatform&)> setUp;
  std::string fontPath;
  std::string valueName;
  int result;
  Calls calls;
  // The link value afterwards; nullopt when there is none.
  std::optional<std::string> value;
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class LinkEudcFontTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkEudcFontTest, ChangesTheLinkWithTheSwitchOffAroundIt) {
  const LinkCase& c = GetParam();
  FakeHost host;
  FakePlatform& fake = host.fake;
  fake.registry[kKey]["SystemDefaultEUDCFont"] = "EUDC.TTE";
  if (c.setUp) c.setUp(fake);

  EXPECT_EQ(watch::LinkEudcFont(c.fontPath, c.valueName, "932"), c.result);

  EXPECT_EQ(fake.calls, c.calls);
  // Whatever happened, EUDC support is not left switched off.
  EXPECT_TRUE(fake.eudcEnabled);
  const auto key = fake.registry.find(kKey);
  if (key == fake.registry.end()) {
    EXPECT_FALSE(c.value) << "the key was never there";
    return;
  }
  const auto value = key->second.find(c.valueName);
  EXPECT_EQ(value == key->second.end() ? std::nullopt : std::optional(value->second), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkEudcFontTest,
    ::testing::Values(
        LinkCase{"SetsPath", nullptr, kTarget, "SystemDefaultEUDCFont", 0,
                 AroundKey({std::string("SetValue SystemDefaultEUDCFont=") + kTarget}), kTarget},
        LinkCase{"StoresBareNameUnchanged", nullptr, "__dummy__.tte", "SystemDefaultEUDCFont", 0,
                 AroundKey({"SetValue SystemDefaultEUDCFont=__dummy__.tte"}), "__dummy__.tte"},
        LinkCase{"CreatesAbsentValue", nullptr, kTarget, "ＭＳ 明朝", 0,
                 AroundKey({std::string("SetValue ＭＳ 明朝=") + kTarget}), kTarget},
        LinkCase{"EmptyPathPointsDefaultLinkBackAtSystemFont",
                 [](FakePlatform& f) { f.registry[kKey]["SystemDefaultEUDCFont"] = kTarget; }, "",
                 "SystemDefaultEUDCFont", 0, AroundKey({"SetValue SystemDefaultEUDCFont=EUDC.TTE"}),
                 "EUDC.TTE"},
        // The default name is recognised only as spelled; in another case
        // the value (found without regard to case) is deleted.
        LinkCase{"EmptyPathDeletesDefaultLinkInOtherCase", nullptr, "", "systemdefaulteudcfont", 0,
                 AroundKey({"DeleteValue systemdefaulteudcfont"}), std::nullopt},
        LinkCase{"EmptyPathDeleteOfAbsentValueFails", nullptr, "", "ＭＳ 明朝", -4,
                 AroundKey({"DeleteValue ＭＳ 明朝"}), std::nullopt},
        LinkCase{"SetFails", [](FakePlatform& f) { f.setValueStatus = 5; }, kTarget,
                 "SystemDefaultEUDCFont", -3,
                 AroundKey({std::string("SetValue SystemDefaultEUDCFont=") + kTarget}), "EUDC.TTE"},
        LinkCase{"SystemFontSetFails", [](FakePlatform& f) { f.setValueStatus = 5; }, "",
                 "SystemDefaultEUDCFont", -3,
                 AroundKey({"SetValue SystemDefaultEUDCFont=EUDC.TTE"}), "EUDC.TTE"},
        LinkCase{"DeleteFails",
                 [](FakePlatform& f) {
                   f.registry[kKey]["Link"] = kTarget;
                   f.deleteValueStatus = 5;
                 },
                 "", "Link", -4, AroundKey({"DeleteValue Link"}), kTarget},
        // The key is opened, never created; the switch still goes back on.
        LinkCase{"MissingKey",
                 [](FakePlatform& f) { f.registry.clear(); },
                 kTarget,
                 "SystemDefaultEUDCFont",
                 -2,
                 {"LoadLibrary GDI32.DLL", "GetProcAddress EnableEUDC", "EnableEUDC 0",
                  "OpenKey EUDC\\932", "EnableEUDC 1", "FreeLibrary"},
                 std::nullopt},
        LinkCase{"MissingLibraryTouchesNothing",
                 [](FakePlatform& f) { f.libraryLoads = false; },
                 kTarget,
                 "SystemDefaultEUDCFont",
                 -1,
                 {"LoadLibrary GDI32.DLL"},
                 "EUDC.TTE"},
        // Without the switch the link must not change under the system's feet.
        LinkCase{"MissingEntryPointReleasesLibrary",
                 [](FakePlatform& f) { f.hasEudcSwitch = false; },
                 kTarget,
                 "SystemDefaultEUDCFont",
                 -1,
                 {"LoadLibrary GDI32.DLL", "GetProcAddress EnableEUDC", "FreeLibrary"},
                 "EUDC.TTE"}),
    testing_support::CaseName());

TEST(LinkEudcFontBytes, StoresCodePage932PathAsGiven) {
  FakeHost host;
  host.fake.registry[kKey] = {};
  const std::string path = "C:\\外字\\EUDC.TTE";
  ASSERT_EQ(path.substr(3, 4), "\x8A\x4F\x8E\x9A");  // 外字 in code page 932

  EXPECT_EQ(watch::LinkEudcFont(path, "SystemDefaultEUDCFont", "932"), 0);
  EXPECT_EQ(host.fake.registry[kKey]["SystemDefaultEUDCFont"], path);
}

}  // namespace
