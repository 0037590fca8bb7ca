// The watch tool's resident phases: console window, watch loop and font
// replacement, against the in-memory platform.
#include <gtest/gtest.h>

#include <algorithm>

#include "frame/MessageTexts.h"
#include "frame/RunLog.h"
#include "tests/FakePlatform.h"
#include "watch/MinimizeConsole.h"
#include "watch/ReplaceEudcFont.h"
#include "watch/WatchEudcFile.h"
#include "watch/WatchMessages.h"
#include "watch/WatchSettings.h"

namespace {

using testing_support::FakeHost;
using testing_support::FakePlatform;
using testing_support::LogLines;
using Lines = std::vector<std::string>;

constexpr platform::FileTime kStartTime = 1070000000;  // 20031128_06:13:20 (UTC)
constexpr char kWatched[] = "C:\\EUDC\\EUDC.TTE";
constexpr char kTarget[] = "C:\\WINDOWS\\Fonts\\EUDC.TTE";
constexpr char kKey[] = "EUDC\\932";
constexpr char kLinked[] = "「C:\\WINDOWS\\Fonts\\EUDC.TTE」をフォントへリンクしました。";

// The settings as ReadWatchSettings leaves them, a key with the system's
// link, the watched file and an older installed font.
class WatchPhaseTest : public ::testing::Test {
 protected:
  WatchPhaseTest() {
    frame::UseMessageTable(&watch::kWatchMessages);
    log_ = frame::OpenRunLog("run.log");
    frame::runLog = log_.get();
    watch::watchFolder = "C:\\EUDC";
    watch::watchFileName = "EUDC.TTE";
    watch::targetFontPath = kTarget;
    watch::linkFontName = watch::kDefaultLinkFontName;
    watch::savedWriteTime = kStartTime;
    fake.registry[kKey]["SystemDefaultEUDCFont"] = "EUDC.TTE";
    fake.AddFile(kWatched, "font 1", kStartTime);
    fake.AddFile(kTarget, "font 0", kStartTime - 86400);
  }
  ~WatchPhaseTest() override { frame::runLog = nullptr; }

  Lines Log() const { return LogLines(fake.Content("run.log")); }
  std::string LinkValue() { return fake.registry[kKey]["SystemDefaultEUDCFont"]; }

  FakeHost host;
  FakePlatform& fake = host.fake;

 private:
  std::unique_ptr<std::ostream> log_;
};

// --- ReplaceEudcFont -------------------------------------------------------

struct ReplaceCase {
  const char* name;
  std::function<void(FakePlatform&)> setUp;
  Lines log;
  std::string installed;  // the target file afterwards
};

void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.name; }

class ReplaceEudcFontTest : public WatchPhaseTest,
                            public ::testing::WithParamInterface<ReplaceCase> {};

TEST_P(ReplaceEudcFontTest, LogsEachStep) {
  const ReplaceCase& c = GetParam();
  if (c.setUp) c.setUp(fake);

  watch::ReplaceEudcFont();

  EXPECT_EQ(Log(), c.log);
  EXPECT_EQ(fake.Content(kTarget), c.installed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceEudcFontTest,
    ::testing::Values(
        ReplaceCase{"AllSucceed", nullptr, {"外字ファイルコピー完了", kLinked}, "font 1"},
        ReplaceCase{"NoKey",
                    [](FakePlatform& f) { f.registry.clear(); },
                    {"フォントリンク解除に失敗しました（Error=-2）。", "外字ファイルコピー完了",
                     "「C:\\WINDOWS\\Fonts\\EUDC.TTE」フォントリンクに失敗しました（Error=-2）。"},
                    "font 1"},
        ReplaceCase{"NoLibrary",
                    [](FakePlatform& f) { f.libraryLoads = false; },
                    {"フォントリンク解除に失敗しました（Error=-1）。", "外字ファイルコピー完了",
                     "「C:\\WINDOWS\\Fonts\\EUDC.TTE」フォントリンクに失敗しました（Error=-1）。"},
                    "font 1"},
        // The link is reported although the old font stays installed.
        ReplaceCase{"CopyFailsRelinkSucceeds",
                    [](FakePlatform& f) {
                      f.files[kTarget].locked = true;
                      f.errorTexts[testing_support::kAccessDenied] = "Access is denied.";
                    },
                    {"「C:\\EUDC\\EUDC.TTE」から「C:\\WINDOWS\\Fonts\\EUDC.TTE」へのコピーに失敗"
                     "しました。",
                     "Access is denied.", kLinked},
                    "font 0"}),
    testing_support::CaseName());

TEST_F(WatchPhaseTest, ReplacementUnlinksCopiesAndRelinksInThatOrder) {
  watch::ReplaceEudcFont();

  const std::vector<std::string> registryAndCopy = [&] {
    std::vector<std::string> picked;
    std::copy_if(fake.calls.begin(), fake.calls.end(), std::back_inserter(picked),
                 [](const std::string& call) {
                   return call.starts_with("SetValue") || call.starts_with("CopyFile");
                 });
    return picked;
  }();
  EXPECT_EQ(registryAndCopy, (Lines{"SetValue SystemDefaultEUDCFont=__dummy__.tte",
                                    std::string("CopyFile ") + kWatched + " " + kTarget,
                                    std::string("SetValue SystemDefaultEUDCFont=") + kTarget}));
  EXPECT_EQ(LinkValue(), kTarget);
  // 外字ファイルコピー完了, pinned as code page 932 bytes.
  EXPECT_EQ(Log().at(0).substr(0, 4), "\x8A\x4F\x8E\x9A");
}

// --- WatchEudcFile ---------------------------------------------------------

using Step = FakePlatform::WakeStep;

void SetWatchedTime(FakePlatform& f, platform::FileTime time, const std::string& content) {
  f.AddFile(kWatched, content, time);
}

TEST_F(WatchPhaseTest, WatchActsOnEveryChangeOfTheFileTimeAndEndsWhenTheFileIsGone) {
  fake.wakes = {
      // Another file in the folder: a check line, nothing replaced.
      Step{[](FakePlatform& f) { f.AddFile("C:\\EUDC\\other.txt", "x", kStartTime + 5); }},
      Step{[](FakePlatform& f) { SetWatchedTime(f, kStartTime + 60, "font 2"); }},
      // New content within the same whole second is no change.
      Step{[](FakePlatform& f) { SetWatchedTime(f, kStartTime + 60, "font 3"); }},
      // An older copy put back is a change too.
      Step{[](FakePlatform& f) { SetWatchedTime(f, kStartTime - 3600, "font 4"); }},
      Step{[](FakePlatform& f) { f.files.erase(kWatched); }},
  };

  watch::WatchEudcFile();
  watch::ReportWatchEnd();

  EXPECT_EQ(Log(), (Lines{
                       "監視開始",
                       "更新チェック Now=20031128_06:13:20",
                       "更新チェック Now=20031128_06:14:20",
                       "外字更新を確認 Save=20031128_06:13:20 Now=20031128_06:14:20",
                       "外字ファイルコピー完了",
                       kLinked,
                       "更新チェック Now=20031128_06:14:20",
                       "更新チェック Now=20031128_05:13:20",
                       "外字更新を確認 Save=20031128_06:14:20 Now=20031128_05:13:20",
                       "外字ファイルコピー完了",
                       kLinked,
                       "監視外字ファイル異常（ステータス取得不可）",
                       "監視異常終了！！！",
                   }));
  EXPECT_EQ(Log().back().substr(Log().back().size() - 6), "\x81\x49\x81\x49\x81\x49");  // ！！！
  EXPECT_EQ(watch::savedWriteTime, kStartTime - 3600);
  EXPECT_EQ(fake.Content(kTarget), "font 4");
  EXPECT_EQ(fake.calls.front(), "WatchFolder C:\\EUDC");
  EXPECT_EQ(fake.calls.back(), "CloseNotification");
  EXPECT_TRUE(fake.sleeps.empty());
}

TEST_F(WatchPhaseTest, WatchRearmsOnlyAfterTheReplacementReturned) {
  fake.wakes = {Step{[](FakePlatform& f) { SetWatchedTime(f, kStartTime + 1, "font 2"); }},
                Step{[](FakePlatform& f) { f.files.erase(kWatched); }}};

  watch::WatchEudcFile();

  const auto at = [&](const std::string& call) {
    return std::find(fake.calls.begin(), fake.calls.end(), call) - fake.calls.begin();
  };
  EXPECT_LT(at(std::string("SetValue SystemDefaultEUDCFont=") + kTarget), at("Rearm"));
  EXPECT_LT(at("Rearm"), static_cast<long>(fake.calls.size()));
}

TEST_F(WatchPhaseTest, WatchThatCannotRegisterEnds) {
  fake.folderWatchable = false;

  watch::WatchEudcFile();

  EXPECT_EQ(Log(), (Lines{"監視開始", "監視用ハンドラの登録に失敗（設定ファイルを確認）"}));
  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Wait"), 0);
}

TEST_F(WatchPhaseTest, WatchPausesAfterFailedWaitsAndGivesUpAfterTenInARow) {
  // Nine failures, a good wake that resets the count, then failures only.
  for (int i = 0; i < 9; ++i) fake.wakes.push_back(Step{nullptr, false});
  fake.wakes.push_back(Step{});

  watch::WatchEudcFile();

  EXPECT_EQ(std::count(fake.calls.begin(), fake.calls.end(), "Wait"), 9 + 1 + 10);
  EXPECT_EQ(fake.sleeps, std::vector<unsigned>(19, 1000));
  EXPECT_EQ(Log(), (Lines{"監視開始", "更新チェック Now=20031128_06:13:20"}));
}

TEST_F(WatchPhaseTest, WatchPausesWhenRearmingFails) {
  fake.rearmSucceeds = false;
  fake.wakes = {Step{}, Step{}};

  watch::WatchEudcFile();

  // Two good wakes, then failed waits, every round with a failed re-arm.
  EXPECT_EQ(fake.sleeps.size(), 2u + 5u);
  EXPECT_EQ(fake.calls.back(), "CloseNotification");
}

// --- MinimizeConsole -------------------------------------------------------

constexpr char kTitle[] = "Glyphwarden_20031128_06:13:20";

struct ConsoleCase {
  const char* name;
  std::function<void(FakePlatform&)> setUp;
  std::vector<std::string> calls;
  std::size_t pauses;  // of 100 ms
};

Lines TitleSetAndRead(int reads) {
  Lines calls{std::string("SetConsoleTitle ") + kTitle};
  for (int i = 0; i < reads; ++i) calls.push_back("GetConsoleTitle");
  return calls;
}

Lines Minimized(Lines calls) {
  calls.push_back(std::string("FindWindow ") + kTitle);
  calls.push_back("ShowWindow 42 SW_MINIMIZE");
  return calls;
}

void PrintTo(const ConsoleCase& c, std::ostream* out) { *out << c.name; }

class MinimizeConsoleTest : public WatchPhaseTest,
                            public ::testing::WithParamInterface<ConsoleCase> {};

TEST_P(MinimizeConsoleTest, NeverHangs) {
  const ConsoleCase& c = GetParam();
  fake.now = kStartTime;
  if (c.setUp) c.setUp(fake);

  watch::MinimizeConsole();

  EXPECT_EQ(fake.calls, c.calls);
  EXPECT_EQ(fake.sleeps, std::vector<unsigned>(c.pauses, 100));
  EXPECT_TRUE(Log().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MinimizeConsoleTest,
    ::testing::Values(
        ConsoleCase{"TitleTakesAtOnce", nullptr, Minimized(TitleSetAndRead(1)), 1},
        ConsoleCase{"TitleReadBackDiffersFirst",
                    [](FakePlatform& f) {
                      f.titleReads = {"cmd.exe", "Glyphwarden_"};
                    },
                    Minimized(TitleSetAndRead(3)), 3},
        ConsoleCase{"TitleNeverTakes",
                    [](FakePlatform& f) { f.titleReads.assign(60, std::string("cmd.exe")); },
                    TitleSetAndRead(50), 50},
        ConsoleCase{"TitleCannotBeRead", [](FakePlatform& f) { f.titleReads = {std::nullopt}; },
                    TitleSetAndRead(1), 1},
        ConsoleCase{"NoWindowBearsTitle", [](FakePlatform& f) { f.window = std::nullopt; },
                    [] {
                      Lines calls = TitleSetAndRead(1);
                      calls.push_back(std::string("FindWindow ") + kTitle);
                      return calls;
                    }(),
                    1},
        ConsoleCase{"NoConsole", [](FakePlatform& f) { f.hasConsoleWindow = false; }, {}, 0}),
    testing_support::CaseName());

}  // namespace
