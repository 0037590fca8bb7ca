// The Linux stand-ins the watch tool relies on, on real files: the stand-in
// folder (Windows directory, registry, EUDC switch) and inotify.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "platform/posix/PosixPlatform.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void Write(const fs::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A throw-away folder, which is also the stand-in folder.
class PosixTest : public ::testing::Test {
 protected:
  PosixTest() {
    std::string pattern = (fs::temp_directory_path() / "glyph-posix-XXXXXX").string();
    root = mkdtemp(pattern.data());
    setenv("GLYPH_PREFIX", root.c_str(), 1);
  }
  ~PosixTest() override {
    unsetenv("GLYPH_PREFIX");
    fs::remove_all(root);
  }

  fs::path KeyFolder() const { return root / "registry" / "HKEY_CURRENT_USER" / "EUDC" / "932"; }

  fs::path root;
  platform::posix::PosixPlatform host;
};

// --- Stand-in folder ---------------------------------------------------------

TEST_F(PosixTest, KeyIsOpenedNeverCreated) {
  EXPECT_EQ(host.OpenUserKey("EUDC\\932"), nullptr);
  EXPECT_EQ(host.LastError(), static_cast<platform::ErrorCode>(ENOENT));
  EXPECT_FALSE(fs::exists(root / "registry"));

  fs::create_directories(KeyFolder());
  EXPECT_NE(host.OpenUserKey("EUDC\\932"), nullptr);
  EXPECT_NE(host.OpenUserKey("eudc\\932"), nullptr) << "key names ignore case";
  // No key path reaches outside the registry folder.
  for (const char* subkey : {"EUDC\\..", "EUDC\\..\\EUDC\\932", "EUDC\\\\932", "EUDC/932", ""})
    EXPECT_EQ(host.OpenUserKey(subkey), nullptr) << subkey;
}

TEST_F(PosixTest, ValuesAreFilesMatchedWithoutRegardToCase) {
  fs::create_directories(KeyFolder());
  const auto key = host.OpenUserKey("EUDC\\932");
  ASSERT_NE(key, nullptr);
  // 外字 as code page 932 bytes: stored exactly as given.
  const std::string path = "C:\\\x8A\x4F\x8E\x9A\\EUDC.TTE";

  EXPECT_EQ(key->SetStringValue("SystemDefaultEUDCFont", "EUDC.TTE"), 0);
  EXPECT_EQ(key->SetStringValue("SYSTEMDEFAULTEUDCFONT", path), 0);
  EXPECT_EQ(Read(KeyFolder() / "SystemDefaultEUDCFont"), path);
  EXPECT_EQ(std::distance(fs::directory_iterator(KeyFolder()), fs::directory_iterator()), 1)
      << "one value, no temporary file left";

  EXPECT_EQ(key->DeleteValue("systemdefaulteudcfont"), 0);
  EXPECT_FALSE(fs::exists(KeyFolder() / "SystemDefaultEUDCFont"));
  EXPECT_EQ(key->DeleteValue("SystemDefaultEUDCFont"), ENOENT);

  EXPECT_NE(key->SetStringValue("../escape", "x"), 0);
  EXPECT_NE(key->SetStringValue("..", "x"), 0);
  EXPECT_FALSE(fs::exists(KeyFolder().parent_path() / "escape"));
  key->Close();
  EXPECT_NE(key->SetStringValue("Link", "x"), 0) << "a closed key";
}

TEST_F(PosixTest, EudcSwitchRecordsStateAndHistory) {
  EXPECT_EQ(host.LoadSystemLibrary("USER32.DLL"), nullptr);
  const auto gdi = host.LoadSystemLibrary("gdi32.dll");
  ASSERT_NE(gdi, nullptr);
  EXPECT_FALSE(gdi->FindEudcSwitch("enableeudc")) << "entry names are exact";
  const platform::EudcSwitch enableEudc = gdi->FindEudcSwitch("EnableEUDC");
  ASSERT_TRUE(enableEudc);

  enableEudc(false);
  EXPECT_EQ(Read(root / "eudc-switch"), "off\n");
  enableEudc(true);
  EXPECT_EQ(Read(root / "eudc-switch"), "on\n");
  EXPECT_EQ(Read(root / "eudc-switch.log"), "off\non\n");
  gdi->Release();
}

struct LocationCase {
  const char* prefix;
  const char* dataHome;
  const char* home;
  const char* windowsDirectory;
};

TEST(PosixPrefixLocation, FollowsEnvironment) {
  const LocationCase cases[] = {
      {"/p", "/d", "/h", "/p/windows"},
      {nullptr, "/d", "/h", "/d/glyph-prefix/windows"},
      {"", "", "/h", "/h/.local/share/glyph-prefix/windows"},
  };
  const char* savedHome = std::getenv("HOME");
  const std::string home = savedHome == nullptr ? "" : savedHome;
  for (const LocationCase& c : cases) {
    const auto set = [](const char* name, const char* value) {
      value == nullptr ? unsetenv(name) : setenv(name, value, 1);
    };
    set("GLYPH_PREFIX", c.prefix);
    set("XDG_DATA_HOME", c.dataHome);
    set("HOME", c.home);
    EXPECT_EQ(platform::posix::PosixPlatform().WindowsDirectory(), c.windowsDirectory);
  }
  unsetenv("GLYPH_PREFIX");
  unsetenv("XDG_DATA_HOME");
  setenv("HOME", home.c_str(), 1);
}

// --- inotify -----------------------------------------------------------------

// A wait on another thread. Whatever a test finds, it ends the wait by a
// change in the folder; a wait that even that cannot end stops the tests
// rather than hang them.
class PendingWait {
 public:
  PendingWait(platform::ChangeNotification& notification, fs::path folder)
      : folder_(std::move(folder)),
        wait_(std::async(std::launch::async, [&notification] { return notification.Wait(); })) {}
  ~PendingWait() {
    if (!wait_.valid() || Returned(0ms)) return;
    Write(folder_ / "unblock", "x");
    if (Returned(5s)) return;
    ADD_FAILURE() << "a wait did not return";
    std::_Exit(1);
  }
  bool Returned(std::chrono::milliseconds within) {
    return wait_.wait_for(within) == std::future_status::ready;
  }
  bool Result() { return wait_.get(); }

 private:
  fs::path folder_;
  std::future<bool> wait_;
};

class InotifyTest : public PosixTest {
 protected:
  InotifyTest() {
    folder = root / "eudc";
    fs::create_directories(folder / "sub");
    Write(folder / "EUDC.TTE", "font");
    notification = host.WatchFolder(folder.string());
  }
  fs::path folder;
  std::unique_ptr<platform::ChangeNotification> notification;
};

TEST_F(InotifyTest, RegistrationNeedsAnExistingFolder) {
  EXPECT_NE(notification, nullptr);
  for (const fs::path& path : {fs::path(), root / "missing", folder / "EUDC.TTE"}) {
    EXPECT_EQ(host.WatchFolder(path.string()), nullptr) << path;
    EXPECT_NE(host.LastError(), 0u);
  }
}

TEST_F(InotifyTest, WakesForLastWriteChangesOnly) {
  ASSERT_NE(notification, nullptr);
  struct Change {
    const char* name;
    std::function<void()> make;
  };
  const Change changes[] = {
      {"write closed", [&] { Write(folder / "EUDC.TTE", "font 2"); }},
      {"renamed in",
       [&] {
         Write(root / "new.tte", "font 3");
         fs::rename(root / "new.tte", folder / "EUDC.TTE");
       }},
      // Both times, as a copy that keeps the time sets them.
      {"time set",
       [&] {
         const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
         ASSERT_EQ(utimensat(AT_FDCWD, (folder / "EUDC.TTE").c_str(), times, 0), 0);
       }},
      {"other file", [&] { Write(folder / "other.txt", "x"); }},
  };
  for (const Change& change : changes) {
    PendingWait wait(*notification, folder);
    change.make();
    ASSERT_TRUE(wait.Returned(5s)) << change.name;
    EXPECT_TRUE(wait.Result());
    EXPECT_TRUE(notification->Rearm());
  }
}

TEST_F(InotifyTest, NoWakeForSubfoldersOrWritesStillOpen) {
  ASSERT_NE(notification, nullptr);
  PendingWait wait(*notification, folder);
  Write(folder / "sub" / "EUDC.TTE", "font 2");
  std::ofstream open(folder / "EUDC.TTE", std::ios::binary);
  open << "half a font" << std::flush;
  EXPECT_FALSE(wait.Returned(300ms)) << "a file still being written is no change yet";
  open.close();
  EXPECT_TRUE(wait.Returned(5s));
}

TEST_F(InotifyTest, BurstMakesOneWakeAndChangesBeforeRearmAreKept) {
  ASSERT_NE(notification, nullptr);
  for (int i = 0; i < 5; ++i) Write(folder / "EUDC.TTE", "font " + std::to_string(i));
  ASSERT_TRUE(notification->Wait());
  {
    PendingWait wait(*notification, folder);
    EXPECT_FALSE(wait.Returned(300ms)) << "the burst was taken in one wake";
  }
  // Between a wake and the re-arm the font is being replaced; a change
  // then must wake the next wait.
  Write(folder / "EUDC.TTE", "font 8");
  ASSERT_TRUE(notification->Wait());
  Write(folder / "EUDC.TTE", "font 9");
  EXPECT_TRUE(notification->Rearm());
  PendingWait wait(*notification, folder);
  EXPECT_TRUE(wait.Returned(5s));
}

TEST_F(InotifyTest, FolderRemovedWakesOnceThenWaitsFail) {
  ASSERT_NE(notification, nullptr);
  fs::remove_all(folder);
  {
    PendingWait wait(*notification, root);
    ASSERT_TRUE(wait.Returned(5s));
    EXPECT_TRUE(wait.Result());
  }
  EXPECT_FALSE(notification->Rearm());
  PendingWait wait(*notification, root);
  ASSERT_TRUE(wait.Returned(5s));
  EXPECT_FALSE(wait.Result());
}

}  // namespace
