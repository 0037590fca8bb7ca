// File operations of the Linux platform that the tools' correctness rests
// on: renames that never overwrite, and copies that never leave a partial
// destination.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/posix/PosixPlatform.h"
#include "tests/TempFolder.h"

namespace {

class PosixFilesTest : public testing::Test {
 protected:
  std::string Path(const char* name) { return folder_.Path(name); }
  void Write(const char* name, const std::string& text) { folder_.Write(name, text); }
  std::string Read(const char* name) { return folder_.Read(name); }
  std::size_t Entries() { return folder_.Entries(); }

  testing_support::TempFolder folder_{"glyph-files"};
  platform::posix::PosixPlatform posix_;
};

TEST_F(PosixFilesTest, RenameNeverReplacesAnExistingFile) {
  Write("a", "a");
  Write("b", "b");
  EXPECT_FALSE(posix_.RenameFile(Path("a"), Path("b")));
  EXPECT_EQ(posix_.LastError(), static_cast<platform::ErrorCode>(EEXIST));
  EXPECT_EQ(Read("b"), "b");
  EXPECT_TRUE(posix_.RenameFile(Path("a"), Path("c")));
  EXPECT_EQ(Read("c"), "a");
}

TEST_F(PosixFilesTest, CopyOverKeepsTheSourceTimeAndLeavesNothingBehind) {
  Write("source", std::string("\r\n\0binary", 9));
  Write("target", "old");
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, Path("source").c_str(), times, 0), 0);

  ASSERT_TRUE(posix_.CopyFileOver(Path("source"), Path("target")));
  EXPECT_EQ(Read("target"), std::string("\r\n\0binary", 9));
  EXPECT_EQ(posix_.LastWriteTime(Path("target")), 1000000000);
  EXPECT_EQ(Entries(), 2u);
}

TEST_F(PosixFilesTest, FailedCopyReportsWhyAndLeavesTheTargetAlone) {
  Write("target", "old");
  EXPECT_FALSE(posix_.CopyFileOver(Path("missing"), Path("target")));
  EXPECT_EQ(posix_.LastError(), static_cast<platform::ErrorCode>(ENOENT));
  EXPECT_EQ(Read("target"), "old");

  Write("source", "new");
  EXPECT_FALSE(posix_.CopyFileOver(Path("source"), Path("no/target")));
  EXPECT_EQ(posix_.LastError(), static_cast<platform::ErrorCode>(ENOENT));
  EXPECT_EQ(posix_.SystemErrorText(posix_.LastError()), "No such file or directory");
  EXPECT_EQ(Entries(), 2u);
}

}  // namespace
