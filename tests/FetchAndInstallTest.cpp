// The order of FetchAndInstall's steps, which the end-to-end tests cannot
// see: the connection is closed before the copy, the session last.
#include <gtest/gtest.h>

#include <sstream>

#include "fetch/FetchApp.h"
#include "fetch/FetchMessages.h"
#include "frame/RunLog.h"
#include "tests/FakePlatform.h"

namespace {

using testing_support::FakeHost;

class FetchAndInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frame::UseMessageTable(&fetch::kFetchMessages);
    frame::runLog = &log_;
    log_.str("");
    host_.fake = testing_support::FakePlatform();
    host_.fake.AddFile("C:\\Tools\\Glyphfetch.exe", "");
    host_.fake.folders.insert("C:\\Fonts");
    host_.fake.remoteFiles["EUDC.TTE"] = "font";
    fetch::fetchApp = {};
    fetch::fetchApp.ftpAddress = "ftp.example.jp";
    fetch::fetchApp.ftpUserId = "user";
    fetch::fetchApp.ftpPassword = "secret";
    fetch::fetchApp.ftpFileName = "EUDC.TTE";
    fetch::fetchApp.localFileName = "C:\\Fonts\\EUDC.TTE";
  }
  void TearDown() override { frame::runLog = nullptr; }

  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::istringstream text(log_.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  FakeHost host_;
  std::ostringstream log_;
};

TEST_F(FetchAndInstallTest, ClosesTheConnectionBeforeCopyingAndTheSessionLast) {
  fetch::fetchApp.FetchAndInstall();
  EXPECT_EQ(host_.fake.calls, (std::vector<std::string>{
                                  "OpenSession Glyphfetch",
                                  "Connect ftp.example.jp user",
                                  "GetFile EUDC.TTE C:\\Tools\\Glyphfetch.tmp",
                                  "CloseConnection",
                                  "CopyFile C:\\Tools\\Glyphfetch.tmp C:\\Fonts\\EUDC.TTE",
                                  "CloseSession",
                              }));
  EXPECT_EQ(LogLines(), (std::vector<std::string>{"ＦＴＰ受信完了しました。",
                                                  "指定ファイルへコピー完了しました。"}));
  EXPECT_EQ(host_.fake.Content("C:\\Fonts\\EUDC.TTE"), "font");
}

TEST_F(FetchAndInstallTest, FtpFailuresCopyNothingAndCloseWhatWasOpened) {
  struct Case {
    const char* name;
    std::function<void(testing_support::FakePlatform&)> arrange;
    std::vector<std::string> calls;
    std::string description;
  };
  const std::vector<Case> cases = {
      {"session cannot be opened",
       [](auto& fake) { fake.sessionOpens = false; },
       {"OpenSession Glyphfetch"},
       "The Internet session could not be opened\r"},
      {"login refused",
       [](auto& fake) { fake.ftpPassword = "other"; },
       {"OpenSession Glyphfetch", "Connect ftp.example.jp user", "CloseSession"},
       "530 Login incorrect.\r"},
      {"remote file missing",
       [](auto& fake) { fake.remoteFiles.clear(); },
       {"OpenSession Glyphfetch", "Connect ftp.example.jp user",
        "GetFile EUDC.TTE C:\\Tools\\Glyphfetch.tmp", "CloseConnection", "CloseSession"},
       "550 EUDC.TTE: No such file or directory.\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    c.arrange(host_.fake);
    fetch::fetchApp.FetchAndInstall();
    EXPECT_EQ(host_.fake.calls, c.calls);
    // The fake's descriptions end in a line break of their own, as the
    // Windows client's do.
    EXPECT_EQ(LogLines(), (std::vector<std::string>{"ＦＴＰエラー", c.description, ""}));
    EXPECT_FALSE(host_.fake.Exists("C:\\Fonts\\EUDC.TTE"));
  }
}

}  // namespace
