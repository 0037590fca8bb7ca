// The profile functions of the Linux platform, on real files.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/PosixPlatform.h"
#include "tests/TempFolder.h"

namespace {

class ProfileTest : public testing::Test {
 protected:
  void Write(const std::string& text) { folder_.Write("Glyphfetch.ini", text); }
  std::string Read() { return folder_.Read("Glyphfetch.ini"); }

  testing_support::TempFolder folder_{"glyph-ini"};
  std::string file_ = folder_.Path("Glyphfetch.ini");
  platform::posix::PosixPlatform posix_;
};

struct ReadCase {
  const char* text;
  const char* key;
  const char* value;
};

TEST_F(ProfileTest, ReadsLikeTheWindowsProfileFunctions) {
  const ReadCase cases[] = {
      {"[settings]\nftpaddress=a\n", "FtpAddress", "a"},
      {"[Settings]\r\n  K  =  a b  \r\n", "K", "a b"},
      {"[Settings]\nK=\"a b\"\n", "K", "a b"},
      {"[Settings]\nK='x'\n", "K", "x"},
      {"[Settings]\nK=\"a\n", "K", "\"a"},
      {"[Settings]\n;K=x\nK=y\n", "K", "y"},
      {"[Settings]\nK=1\nK=2\n", "K", "1"},
      {"[Other]\nK=x\n[Settings]\nK=y\n", "K", "y"},
      {"[Other]\nK=x\n", "K", ""},
      {"[Settings]\nK\nK2=z\n", "K", ""},
      {"[Settings]\nK=\x95\x5C\x83\x5C\n", "K", "\x95\x5C\x83\x5C"},
      {"[ Settings ]\nK=v", "K", "v"},
  };
  for (const ReadCase& c : cases) {
    Write(c.text);
    EXPECT_EQ(posix_.ReadProfileString(file_, "Settings", c.key, 261), c.value) << c.text;
  }
}

TEST_F(ProfileTest, ValueIsCutToTheBuffer) {
  Write("[Settings]\nK=" + std::string(300, 'v') + "\n");
  EXPECT_EQ(posix_.ReadProfileString(file_, "Settings", "K", 261), std::string(260, 'v'));
}

TEST_F(ProfileTest, MissingFileReadsEmpty) {
  EXPECT_EQ(posix_.ReadProfileString(file_, "Settings", "K", 261), "");
}

struct WriteCase {
  const char* before;  // nullptr: no file
  const char* after;
};

TEST_F(ProfileTest, SeedingAddsKeyAndKeepsEveryOtherByte) {
  const WriteCase cases[] = {
      {nullptr, "[Settings]\nK=\n"},
      {"[Settings]\r\nA=1\r\n", "[Settings]\r\nA=1\r\nK=\r\n"},
      {"[Settings]\nA=1\n\n[Other]\nB=2\n", "[Settings]\nA=1\nK=\n\n[Other]\nB=2\n"},
      {"[Settings]\nA=1", "[Settings]\nA=1\nK=\n"},
      {"[Other]\nB=2", "[Other]\nB=2\n[Settings]\nK=\n"},
      {"; comment\r\n[Settings]\r\n; K=x\r\nK=\r\n", "; comment\r\n[Settings]\r\n; K=x\r\nK=\r\n"},
      {"[Settings]\nK = old \nZ=1\n", "[Settings]\nK =\nZ=1\n"},
  };
  for (const WriteCase& c : cases) {
    std::filesystem::remove(file_);
    if (c.before != nullptr) Write(c.before);
    EXPECT_TRUE(posix_.WriteProfileString(file_, "Settings", "K", ""));
    EXPECT_EQ(Read(), c.after) << (c.before ? c.before : "(no file)");
  }
}

TEST_F(ProfileTest, WriteReplacesTheFileWholeAndKeepsItsMode) {
  Write("[Settings]\nA=1\n");
  chmod(file_.c_str(), 0640);
  ASSERT_TRUE(posix_.WriteProfileString(file_, "Settings", "K", ""));
  struct stat status {};
  ASSERT_EQ(stat(file_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
  // No temporary file is left beside it.
  EXPECT_EQ(folder_.Entries(), 1u);
}

TEST_F(ProfileTest, WriteIntoMissingFolderFails) {
  EXPECT_FALSE(posix_.WriteProfileString(folder_.Path("no/x.ini"), "Settings", "K", ""));
  EXPECT_EQ(posix_.LastError(), static_cast<platform::ErrorCode>(ENOENT));
}

}  // namespace
