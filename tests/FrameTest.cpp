// The frame both tools share: run-log rotation, header, console line,
// start-up and exit status, paths beside the executable, message texts.
#include <gtest/gtest.h>

#include <ctime>

#include "frame/Entry.h"
#include "frame/ModuleSiblingPath.h"
#include "frame/RotateRunLogs.h"
#include "frame/RunLog.h"
#include "tests/FakePlatform.h"

namespace {

using testing_support::FakeHost;
using testing_support::LogLines;

constexpr char kLogFormat[] = "Glyphfetch_Log%d.txt";

std::string LogName(int number) { return ".\\Glyphfetch_Log" + std::to_string(number) + ".txt"; }

struct RotationCase {
  const char* name;
  std::vector<int> present;  // logs before the run, each holding its number
  std::vector<int> locked;   // logs that cannot be removed or replaced
  std::map<int, std::string> after;
};

void PrintTo(const RotationCase& c, std::ostream* os) { *os << c.name; }

class RotationTest : public testing::TestWithParam<RotationCase> {};

TEST_P(RotationTest, ShiftsLogsUpByOne) {
  FakeHost host;
  for (int n : GetParam().present) host.fake.AddFile(LogName(n), "log " + std::to_string(n));
  for (int n : GetParam().locked) host.fake.files[LogName(n)].locked = true;

  frame::RotateRunLogs(kLogFormat);

  std::map<int, std::string> after;
  for (int n = 0; n <= 10; ++n)
    if (host.fake.Exists(LogName(n))) after[n] = host.fake.Content(LogName(n));
  EXPECT_EQ(after, GetParam().after);
}

// Logs 0 to last moved up by one, each still holding its old number.
std::map<int, std::string> Shifted(int last) {
  std::map<int, std::string> after;
  for (int n = 0; n <= last; ++n) after[n + 1] = "log " + std::to_string(n);
  return after;
}

std::map<int, std::string> WithOldestKept() {
  std::map<int, std::string> after = Shifted(7);
  after[9] = "log 9";
  return after;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RotationTest,
    testing::Values(RotationCase{"NoLogs", {}, {}, {}},
                    RotationCase{"AllTen", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}, Shifted(8)},
                    RotationCase{"Gaps", {0, 5}, {}, {{1, "log 0"}, {6, "log 5"}}},
                    // 9 stays, so 8 cannot move onto it and is removed in the next pass.
                    RotationCase{"OldestCannotBeRemoved",
                                 {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
                                 {9},
                                 WithOldestKept()}),
    [](const auto& param) { return std::string(param.param.name); });

// A tool whose phases only record that they ran.
std::vector<std::string> phasesRun;
int settingsResult = 0;
int SettingsPhase() {
  phasesRun.push_back("settings");
  *frame::runLog << "settings" << std::endl;
  return settingsResult;
}
void FirstPhase() { phasesRun.push_back("first"); }
void SecondPhase() { phasesRun.push_back("second"); }
const frame::MessageTable kNoMessages;
const frame::Tool kTestTool = {kLogFormat,
                               "Glyphfetch処理中：ログ出力(",
                               &kNoMessages,
                               &SettingsPhase,
                               {&FirstPhase, &SecondPhase}};

class EntryTest : public testing::Test {
 protected:
  void SetUp() override {
    phasesRun.clear();
    settingsResult = 0;
    // 09:07:45 on 11 December 2003 (the fake's local time is UTC).
    std::tm when{};
    when.tm_year = 103;
    when.tm_mon = 11;
    when.tm_mday = 11;
    when.tm_hour = 9;
    when.tm_min = 7;
    when.tm_sec = 45;
    host_.fake.now = timegm(&when);
  }
  std::string Log() { return host_.fake.Content(LogName(0)); }
  FakeHost host_;
};

TEST_F(EntryTest, HeaderCarriesTheDateAndConsoleNamesTheLog) {
  EXPECT_EQ(frame::RunTool(kTestTool), 0);
  // "ログ開始日時：" in code page 932, then the date, then an empty line.
  const std::string header =
      "\x83\x8D\x83\x4F\x8A\x4A\x8E\x6E\x93\xFA\x8E\x9E\x81\x46"
      "20031211_09:07:45\r\n\r\n";
  EXPECT_EQ(Log(), header + "settings\r\n");
  EXPECT_EQ(host_.fake.consoleOut, "Glyphfetch処理中：ログ出力(.\\Glyphfetch_Log0.txt)\n");
  EXPECT_EQ(phasesRun, (std::vector<std::string>{"settings", "first", "second"}));
}

TEST_F(EntryTest, IncompleteSettingsStopBeforeTheFurtherPhases) {
  settingsResult = 1;
  EXPECT_EQ(frame::RunTool(kTestTool), 1);
  EXPECT_EQ(phasesRun, std::vector<std::string>{"settings"});
}

TEST_F(EntryTest, FailedStartUpRunsNoPhase) {
  host_.fake.initializes = false;
  EXPECT_EQ(frame::RunTool(kTestTool), 1);
  EXPECT_TRUE(phasesRun.empty());
  EXPECT_EQ(host_.fake.errorOut, "Fatal Error: MFC initialization failed\n");
  EXPECT_EQ(LogLines(Log()).size(), 2u);
}

TEST_F(EntryTest, UnwritableLogIsNamedOnStandardErrorAndTheRunGoesOn) {
  host_.fake.folders.erase(".");
  EXPECT_EQ(frame::RunTool(kTestTool), 0);
  EXPECT_EQ(phasesRun, (std::vector<std::string>{"settings", "first", "second"}));
  EXPECT_EQ(host_.fake.errorOut, "run log cannot be opened: .\\Glyphfetch_Log0.txt\n");
  EXPECT_FALSE(host_.fake.Exists(LogName(0)));
}

TEST_F(EntryTest, LinuxLogNamesUseTheSlash) {
  host_.fake.separator = '/';
  host_.fake.AddFile("./Glyphfetch_Log0.txt", "earlier run");
  frame::RunTool(kTestTool);
  EXPECT_EQ(host_.fake.Content("./Glyphfetch_Log1.txt"), "earlier run");
  EXPECT_TRUE(host_.fake.Exists("./Glyphfetch_Log0.txt"));
}

TEST(RunLogTest, EveryLineBreakIsStoredAsCrLf) {
  FakeHost host;
  {
    const auto log = frame::OpenRunLog("log.txt");
    frame::runLog = log.get();
    frame::WriteReport("first\nsecond");
    frame::runLog = nullptr;
  }
  EXPECT_EQ(host.fake.Content("log.txt"), "first\r\nsecond\r\n\r\n");
}

struct SiblingCase {
  const char* executable;
  char separator;
  const char* expected;
};

TEST(ModuleSiblingPathTest, ReplacesTheExtensionOrAppends) {
  const SiblingCase cases[] = {
      {"C:\\Tools\\Glyphfetch.exe", '\\', "C:\\Tools\\Glyphfetch.ini"},
      {"C:\\Tools\\Glyphfetch.EXE", '\\', "C:\\Tools\\Glyphfetch.ini"},
      // Without an extension the name stays whole.
      {"C:\\Tools\\fetcher", '\\', "C:\\Tools\\fetcher.ini"},
      {"/opt/glyph/Glyphfetch", '/', "/opt/glyph/Glyphfetch.ini"},
      {"/opt/v1.2/Glyphfetch", '/', "/opt/v1.2/Glyphfetch.ini"},
      {"", '\\', ".ini"},
  };
  for (const SiblingCase& c : cases) {
    FakeHost host;
    host.fake.executablePath = c.executable;
    host.fake.separator = c.separator;
    EXPECT_EQ(frame::ModuleSiblingPath(".ini"), c.expected) << c.executable;
  }
}

TEST(MessageTextsTest, MissingNumberGivesAnEmptyText) {
  const frame::MessageTable table = {{1000, "「%s」は%d個"}};
  frame::UseMessageTable(&table);
  EXPECT_EQ(frame::FormatText(frame::LoadMessage(1000), std::string("a%sb"), -3), "「a%sb」は-3個");
  EXPECT_EQ(frame::LoadMessage(1001), "");
  frame::UseMessageTable(nullptr);
}

}  // namespace
