// The fetch tool's settings phase: settings file in, run log, settings file
// and result out.
#include <gtest/gtest.h>

#include <optional>

#include "fetch/FetchApp.h"
#include "fetch/FetchMessages.h"
#include "tests/SettingsPhaseFixture.h"

namespace {

using testing_support::PhaseHost;

constexpr char kIni[] = "C:\\Tools\\Glyphfetch.ini";

const std::string kComplete =
    "[Settings]\r\n"
    "FtpAddress=ftp.example.jp\r\n"
    "FtpUserID=eudc\r\n"
    "FtpPassword=x\r\n"
    "FtpFileName=master/EUDC.TTE\r\n"
    "LocalFileName=C:\\EUDC\\EUDC.TTE\r\n";

struct FetchSettingsCase {
  const char* name;
  std::optional<std::string> ini;  // nullopt: no settings file
  int result;
  std::vector<std::string> log;         // the lines after the heading and its empty line
  std::optional<std::string> iniAfter;  // nullopt: unchanged
};

void PrintTo(const FetchSettingsCase& c, std::ostream* os) { *os << c.name; }

class FetchSettingsTest : public testing::TestWithParam<FetchSettingsCase> {};

TEST_P(FetchSettingsTest, ReadsSeedsAndReports) {
  const FetchSettingsCase& c = GetParam();
  PhaseHost host(&fetch::kFetchMessages);
  host.fake.folders.insert("C:\\Tools");
  if (c.ini) host.fake.AddFile(kIni, *c.ini);
  fetch::fetchApp = {};

  EXPECT_EQ(fetch::ReadFetchSettings(), c.result);

  std::vector<std::string> expected = {"ＦＴＰの設定情報読み込み", ""};
  expected.insert(expected.end(), c.log.begin(), c.log.end());
  EXPECT_EQ(host.Lines(), expected);
  EXPECT_EQ(host.fake.Content(kIni), c.iniAfter.value_or(c.ini.value_or("")));
}

const std::vector<std::string> kEcho = {"ＦＴＰ設定：",
                                        "Address 　= >ftp.example.jp<",
                                        "UserID  　= >eudc<",
                                        "Paaword 　= >******<",
                                        "GetFile\t　= >master/EUDC.TTE<",
                                        "LocalFile = >C:\\EUDC\\EUDC.TTE<",
                                        ""};

INSTANTIATE_TEST_SUITE_P(
    Cases, FetchSettingsTest,
    testing::Values(
        FetchSettingsCase{"NoFile",
                          std::nullopt,
                          1,
                          {"ＦＴＰアドレスが指定されていません。",
                           "Glyphfetch.iniを編集して「FtpAddress=」を設定して下さい。", ""},
                          "[Settings]\nFtpAddress=\n"},
        // Only the first missing key is seeded; the ones after it wait.
        FetchSettingsCase{"SecondKeyMissing",
                          "[Settings]\r\nFtpAddress=a\r\n",
                          1,
                          {"ＦＴＰユーザーＩＤが指定されていません。",
                           "Glyphfetch.iniを編集して「FtpUserID=」を設定して下さい。", ""},
                          "[Settings]\r\nFtpAddress=a\r\nFtpUserID=\r\n"},
        FetchSettingsCase{"EmptyValueCountsAsMissing",
                          "[Settings]\r\nFtpAddress=a\r\nFtpUserID=b\r\nFtpPassword=\r\n",
                          1,
                          {"ＦＴＰパスワードが指定されていません。",
                           "Glyphfetch.iniを編集して「FtpPassword=」を設定して下さい。", ""},
                          std::nullopt},
        FetchSettingsCase{"MessageOfThreeLines",
                          "[Settings]\r\nFtpAddress=a\r\nFtpUserID=b\r\nFtpPassword=c\r\n",
                          1,
                          {"ＦＴＰファイル名が指定されていません。",
                           "Glyphfetch.iniを編集して「FtpFileName=」を設定して下さい。",
                           "セションが開始される位置からの相対パスで指定します。", ""},
                          "[Settings]\r\nFtpAddress=a\r\nFtpUserID=b\r\nFtpPassword=c\r\n"
                          "FtpFileName=\r\n"},
        FetchSettingsCase{"Complete", kComplete, 0, kEcho, std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(FetchEchoTest, LabelsAndValuesAreExactBytes) {
  PhaseHost host(&fetch::kFetchMessages);
  host.fake.AddFile(kIni,
                    "[Settings]\r\nFtpAddress=<a>\r\nFtpUserID=b\r\nFtpPassword=p\r\n"
                    "FtpFileName=" +
                        std::string(300, 'f') + "\r\nLocalFileName=l\r\n");
  fetch::fetchApp = {};
  ASSERT_EQ(fetch::ReadFetchSettings(), 0);
  const std::vector<std::string> lines = host.Lines();
  // The ideographic space after the label is 0x81 0x40; "<" and ">" in a
  // value are echoed as they are.
  EXPECT_EQ(lines[3], "Address \x81\x40= ><a><");
  EXPECT_EQ(lines[5], "Paaword \x81\x40= >******<");
  // A value is cut at 260 bytes.
  EXPECT_EQ(lines[6], "GetFile\t\x81\x40= >" + std::string(260, 'f') + "<");
  EXPECT_EQ(fetch::fetchApp.ftpFileName.size(), 260u);
}

}  // namespace
