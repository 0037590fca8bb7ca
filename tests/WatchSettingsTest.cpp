// The watch tool's settings phase and its path splitting.
#include <gtest/gtest.h>

#include <optional>

#include "tests/SettingsPhaseFixture.h"
#include "watch/WatchMessages.h"
#include "watch/WatchSettings.h"

namespace {

using testing_support::FakeHost;
using testing_support::PhaseHost;

constexpr char kIni[] = "C:\\Tools\\Glyphwarden.ini";

void ResetWatchSettings() {
  watch::watchFolder.clear();
  watch::watchFileName.clear();
  watch::savedWriteTime = 0;
  watch::linkFontName = watch::kDefaultLinkFontName;
  watch::targetFontPath.clear();
}

struct WatchSettingsCase {
  const char* name;
  std::optional<std::string> ini;
  int result;
  std::vector<std::string> log;         // after the heading and its empty line
  std::optional<std::string> iniAfter;  // nullopt: unchanged
};

void PrintTo(const WatchSettingsCase& c, std::ostream* os) { *os << c.name; }

class WatchSettingsTest : public testing::TestWithParam<WatchSettingsCase> {};

TEST_P(WatchSettingsTest, ReadsSeedsAndReports) {
  const WatchSettingsCase& c = GetParam();
  PhaseHost host(&watch::kWatchMessages);
  host.fake.executablePath = "C:\\Tools\\Glyphwarden.exe";
  host.fake.folders.insert("C:\\Tools");
  host.fake.AddFile("C:\\EUDC\\EUDC.TTE", "font", 1000);
  if (c.ini) host.fake.AddFile(kIni, *c.ini);
  ResetWatchSettings();

  EXPECT_EQ(watch::ReadWatchSettings(), c.result);

  std::vector<std::string> expected = {"監視用の設定情報読み込み", ""};
  expected.insert(expected.end(), c.log.begin(), c.log.end());
  EXPECT_EQ(host.Lines(), expected);
  EXPECT_EQ(host.fake.Content(kIni), c.iniAfter.value_or(c.ini.value_or("")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WatchSettingsTest,
    testing::Values(
        WatchSettingsCase{"NoFile",
                          std::nullopt,
                          1,
                          {"監視する外字ﾌｫﾝﾄﾌｧｲﾙが設定されていません。",
                           "Glyphkeeper.iniを編集して「WatchEudcTTE=」を設定して下さい。",
                           "ﾌｫﾝﾄﾌｧｲﾙはﾌﾙﾊﾟｽで指定して下さい。", ""},
                          "[Settings]\nWatchEudcTTE=\n"},
        // Nothing is seeded for a file that is not there.
        WatchSettingsCase{"WatchedFileMissing",
                          "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\NONE.TTE\r\n",
                          1,
                          {"「C:\\EUDC\\NONE.TTE」は存在しません。",
                           "Glyphkeeper.iniを編集して「WatchEudcTTE=」にﾌﾙﾊﾟｽで監視する外字ﾌｫﾝﾄﾌ"
                           "ｧｲﾙを設定して下さい。",
                           ""},
                          std::nullopt},
        // LinkFont is neither read nor seeded in that run.
        WatchSettingsCase{"TargetMissing",
                          "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\n",
                          1,
                          {"ﾀｰｹﾞｯﾄ外字ﾌｫﾝﾄﾌｧｲﾙが設定されていません。",
                           "Glyphkeeper.iniを編集して「TargetEudcFont=」を設定して下さい。",
                           "ﾌｫﾝﾄﾌｧｲﾙ名のみ指定します。（ﾌﾙﾊﾟｽではない）", ""},
                          "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\nTargetEudcFont=\r\n"},
        WatchSettingsCase{
            "LinkFontMissingIsSeededSilently",
            "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\nTargetEudcFont=T.TTE\r\n",
            0,
            {"監視フォルダ　　：C:\\EUDC", "監視外字ファイル：└─ EUDC.TTE",
             "置換外字ファイル：C:\\WINDOWS\\Fonts\\T.TTE", "リンク先フォント：全てのフォント", ""},
            "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\nTargetEudcFont=T.TTE\r\n"
            "LinkFont=\r\n"},
        WatchSettingsCase{
            "DefaultLinkFontNamedIsShown",
            "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\nTargetEudcFont=T.TTE\r\n"
            "LinkFont=SystemDefaultEUDCFont\r\n",
            0,
            {"監視フォルダ　　：C:\\EUDC", "監視外字ファイル：└─ EUDC.TTE",
             "置換外字ファイル：C:\\WINDOWS\\Fonts\\T.TTE",
             "リンク先フォント：SystemDefaultEUDCFont", ""},
            std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(WatchSettingsStateTest, CompleteSettingsFillEveryField) {
  PhaseHost host(&watch::kWatchMessages);
  host.fake.executablePath = "C:\\Tools\\Glyphwarden.exe";
  host.fake.AddFile("C:\\EUDC\\EUDC.TTE", "font", 1234);
  host.fake.AddFile(kIni,
                    "[Settings]\r\nWatchEudcTTE=C:\\EUDC\\EUDC.TTE\r\nTargetEudcFont=T.TTE\r\n"
                    "LinkFont=MS Mincho\r\n");
  ResetWatchSettings();
  ASSERT_EQ(watch::ReadWatchSettings(), 0);
  EXPECT_EQ(watch::watchFolder, "C:\\EUDC");
  EXPECT_EQ(watch::watchFileName, "EUDC.TTE");
  EXPECT_EQ(watch::savedWriteTime, 1234);
  EXPECT_EQ(watch::targetFontPath, "C:\\WINDOWS\\Fonts\\T.TTE");
  EXPECT_EQ(watch::linkFontName, "MS Mincho");
  // The box-drawing characters of the echo are 0x84 0xA4 0x84 0x9F.
  EXPECT_EQ(host.Lines()[3].substr(18), "\x84\xA4\x84\x9F EUDC.TTE");
}

struct SplitCase {
  const char* path;
  char separator;
  const char* folder;
  const char* name;
};

TEST(SplitWatchedPathTest, FolderAndFileName) {
  const SplitCase cases[] = {
      {"C:\\EUDC\\EUDC.TTE", '\\', "C:\\EUDC", "EUDC.TTE"},
      {"C:\\EUDC.TTE", '\\', "C:", "EUDC.TTE"},
      {"EUDC.TTE", '\\', "", "EUDC.TTE"},
      {"C:/EUDC/EUDC.TTE", '\\', "", "C:/EUDC/EUDC.TTE"},  // only the backslash separates
      {"\\EUDC.TTE", '\\', "", "EUDC.TTE"},
      {"C:\\EUDC\\", '\\', "C:\\EUDC", ""},
      // 表 and ソ end in the byte 0x5C, which is no separator there.
      {"C:\\\x95\x5C\\EUDC.TTE", '\\', "C:\\\x95\x5C", "EUDC.TTE"},
      {"C:\\\x83\x5C\x83\x5C", '\\', "C:", "\x83\x5C\x83\x5C"},
      // Linux paths are UTF-8: 気 is E6 B0 97 and must not hide the slash.
      {"/tmp/\xE6\xB0\x97/EUDC.TTE", '/', "/tmp/\xE6\xB0\x97", "EUDC.TTE"},
      {"/EUDC.TTE", '/', "", "EUDC.TTE"},
  };
  for (const SplitCase& c : cases) {
    PhaseHost host(&watch::kWatchMessages);
    host.fake.separator = c.separator;
    host.fake.executablePath = std::string("C:") + c.separator + "Glyphwarden.exe";
    host.fake.AddFile(std::string("C:") + c.separator + "Glyphwarden.ini",
                      std::string("[Settings]\nWatchEudcTTE=") + c.path + "\nTargetEudcFont=T\n");
    host.fake.AddFile(c.path, "font");
    ResetWatchSettings();
    EXPECT_EQ(watch::ReadWatchSettings(), 0) << c.path;
    EXPECT_EQ(watch::watchFolder, c.folder) << c.path;
    EXPECT_EQ(watch::watchFileName, c.name) << c.path;
  }
}

TEST(IsMidDbcsCharTest, CountsCharactersFromTheFirstByte) {
  const std::string text =
      "a\x95\x5C\x83\x5C"
      "b";
  const bool expected[] = {false, false, true, false, true, false, false};
  for (std::size_t offset = 0; offset <= text.size(); ++offset)
    EXPECT_EQ(watch::IsMidDbcsChar(text, offset), expected[offset]) << offset;
}

}  // namespace
