#include "tests/FakePlatform.h"

#include <ctime>
#include <sstream>
#include <streambuf>

#include "platform/IniText.h"

namespace testing_support {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Appends everything written to a fake file's content.
class FileBuffer : public std::streambuf {
 public:
  explicit FileBuffer(std::string* content) : content_(content) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      content_->push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

 private:
  std::string* content_;
};

class FileStream : public std::ostream {
 public:
  explicit FileStream(std::string* content) : std::ostream(nullptr), buffer_(content) {
    rdbuf(&buffer_);
  }

 private:
  FileBuffer buffer_;
};

class FakeKey : public platform::RegistryKey {
 public:
  FakeKey(FakePlatform& fake, FakePlatform::Values& values) : fake_(fake), values_(values) {}
  long SetStringValue(const std::string& name, const std::string& data) override {
    fake_.calls.push_back("SetValue " + name + "=" + data);
    if (fake_.setValueStatus != 0) return fake_.setValueStatus;
    values_[name] = data;
    return 0;
  }
  long DeleteValue(const std::string& name) override {
    fake_.calls.push_back("DeleteValue " + name);
    if (fake_.deleteValueStatus != 0) return fake_.deleteValueStatus;
    return values_.erase(name) == 1 ? 0 : static_cast<long>(kFileNotFound);
  }
  void Close() override {
    if (closed_) return;
    closed_ = true;
    fake_.calls.push_back("CloseKey");
  }
  ~FakeKey() override { Close(); }

 private:
  FakePlatform& fake_;
  FakePlatform::Values& values_;
  bool closed_ = false;
};

class FakeLibrary : public platform::Library {
 public:
  explicit FakeLibrary(FakePlatform& fake) : fake_(fake) {}
  platform::EudcSwitch FindEudcSwitch(const std::string& entryName) override {
    fake_.calls.push_back("GetProcAddress " + entryName);
    if (!fake_.hasEudcSwitch || entryName != "EnableEUDC") return {};
    FakePlatform* fake = &fake_;
    return [fake](bool on) {
      fake->calls.push_back(on ? "EnableEUDC 1" : "EnableEUDC 0");
      fake->eudcEnabled = on;
    };
  }
  void Release() override {
    if (released_) return;
    released_ = true;
    fake_.calls.push_back("FreeLibrary");
  }
  ~FakeLibrary() override { Release(); }

 private:
  FakePlatform& fake_;
  bool released_ = false;
};

class FakeNotification : public platform::ChangeNotification {
 public:
  explicit FakeNotification(FakePlatform& fake) : fake_(fake) {}
  ~FakeNotification() override { fake_.calls.push_back("CloseNotification"); }
  bool Wait() override {
    fake_.calls.push_back("Wait");
    if (fake_.wakes.empty()) return false;
    FakePlatform::WakeStep step = std::move(fake_.wakes.front());
    fake_.wakes.pop_front();
    if (step.change) step.change(fake_);
    return step.waitSucceeds;
  }
  bool Rearm() override {
    fake_.calls.push_back("Rearm");
    return fake_.rearmSucceeds;
  }

 private:
  FakePlatform& fake_;
};

class FakeConnection : public platform::FtpConnection {
 public:
  explicit FakeConnection(FakePlatform& fake) : fake_(fake) {}
  bool GetFile(const std::string& remoteFile, const std::string& localFile) override {
    fake_.calls.push_back("GetFile " + remoteFile + " " + localFile);
    const auto remote = fake_.remoteFiles.find(remoteFile);
    if (remote == fake_.remoteFiles.end()) {
      fake_.internetError = "550 " + remoteFile + ": No such file or directory.\r\n";
      return false;
    }
    if (fake_.folders.count(fake_.FolderOf(localFile)) == 0) {
      fake_.internetError = std::nullopt;
      return false;
    }
    fake_.AddFile(localFile, remote->second, fake_.now);
    return true;
  }
  void Close() override {
    if (closed_) return;
    closed_ = true;
    fake_.calls.push_back("CloseConnection");
  }
  ~FakeConnection() override { Close(); }

 private:
  FakePlatform& fake_;
  bool closed_ = false;
};

class FakeSession : public platform::InternetSession {
 public:
  explicit FakeSession(FakePlatform& fake) : fake_(fake) {}
  std::unique_ptr<platform::FtpConnection> GetFtpConnection(const std::string& server,
                                                            const std::string& userName,
                                                            const std::string& password) override {
    fake_.calls.push_back("Connect " + server + " " + userName);
    if (server != fake_.ftpServer) {
      fake_.internetError = "The server name or address could not be resolved\r\n";
      return nullptr;
    }
    if (userName != fake_.ftpUser || password != fake_.ftpPassword) {
      fake_.internetError = "530 Login incorrect.\r\n";
      return nullptr;
    }
    return std::make_unique<FakeConnection>(fake_);
  }
  void Close() override {
    if (closed_) return;
    closed_ = true;
    fake_.calls.push_back("CloseSession");
  }
  ~FakeSession() override { Close(); }

 private:
  FakePlatform& fake_;
  bool closed_ = false;
};

}  // namespace

bool CaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

FakePlatform::FakePlatform() = default;

std::string FakePlatform::FolderOf(const std::string& path) const {
  const std::size_t separatorAt = path.find_last_of(separator);
  return separatorAt == std::string::npos ? "." : path.substr(0, separatorAt);
}

void FakePlatform::AddFile(const std::string& path, const std::string& content, FileTime time) {
  folders.insert(FolderOf(path));
  File& file = files[path];
  file.content = content;
  file.lastWriteTime = time;
}

std::string FakePlatform::Content(const std::string& path) const {
  const auto file = files.find(path);
  return file == files.end() ? std::string() : file->second.content;
}

bool FakePlatform::Fail(ErrorCode code) {
  lastError = code;
  return false;
}

std::string FakePlatform::ReadProfileString(const std::string& file, const std::string& section,
                                            const std::string& key, std::size_t bufferSize) {
  std::string value = platform::IniValue(Content(file), section, key);
  if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
  return value;
}

bool FakePlatform::WriteProfileString(const std::string& file, const std::string& section,
                                      const std::string& key, const std::string& value) {
  calls.push_back("WriteProfileString " + key + "=" + value);
  if (folders.count(FolderOf(file)) == 0) return Fail(kPathNotFound);
  if (files.count(file) != 0 && files[file].locked) return Fail(kAccessDenied);
  files[file].content = platform::WithIniValue(Content(file), section, key, value);
  files[file].lastWriteTime = now;
  return true;
}

std::unique_ptr<std::ostream> FakePlatform::CreateOutputFile(const std::string& path) {
  if (folders.count(FolderOf(path)) == 0 || (Exists(path) && files[path].locked)) {
    auto failed = std::make_unique<std::ostringstream>();
    failed->setstate(std::ios::badbit);
    return failed;
  }
  File& file = files[path];
  file.content.clear();
  file.lastWriteTime = now;
  return std::make_unique<FileStream>(&file.content);
}

std::optional<FileTime> FakePlatform::LastWriteTime(const std::string& path) {
  const auto file = files.find(path);
  if (file == files.end()) {
    Fail(kFileNotFound);
    return std::nullopt;
  }
  return file->second.lastWriteTime;
}

bool FakePlatform::RemoveFile(const std::string& path) {
  const auto file = files.find(path);
  if (file == files.end()) return Fail(kFileNotFound);
  if (file->second.locked) return Fail(kAccessDenied);
  files.erase(file);
  return true;
}

bool FakePlatform::RenameFile(const std::string& from, const std::string& to) {
  const auto file = files.find(from);
  if (file == files.end()) return Fail(kFileNotFound);
  if (Exists(to)) return Fail(183);  // ERROR_ALREADY_EXISTS
  files[to] = file->second;
  files.erase(from);
  return true;
}

bool FakePlatform::CopyFileOver(const std::string& source, const std::string& destination) {
  calls.push_back("CopyFile " + source + " " + destination);
  const auto file = files.find(source);
  if (file == files.end()) return Fail(kFileNotFound);
  if (folders.count(FolderOf(destination)) == 0) return Fail(kPathNotFound);
  if (Exists(destination) && files[destination].locked) return Fail(kAccessDenied);
  files[destination] = File{file->second.content, file->second.lastWriteTime, false};
  return true;
}

std::optional<std::string> FakePlatform::SystemErrorText(ErrorCode code) {
  const auto text = errorTexts.find(code);
  if (text == errorTexts.end()) return std::nullopt;
  return text->second;
}

bool FakePlatform::ToLocalTime(FileTime time, std::tm& local) {
  const auto seconds = static_cast<std::time_t>(time);
  return gmtime_r(&seconds, &local) != nullptr;
}

std::unique_ptr<platform::RegistryKey> FakePlatform::OpenUserKey(const std::string& subkey) {
  calls.push_back("OpenKey " + subkey);
  const auto key = registry.find(subkey);
  if (key == registry.end()) return nullptr;
  return std::make_unique<FakeKey>(*this, key->second);
}

std::unique_ptr<platform::Library> FakePlatform::LoadSystemLibrary(const std::string& name) {
  calls.push_back("LoadLibrary " + name);
  if (!libraryLoads) return nullptr;
  return std::make_unique<FakeLibrary>(*this);
}

std::unique_ptr<platform::ChangeNotification> FakePlatform::WatchFolder(const std::string& folder) {
  calls.push_back("WatchFolder " + folder);
  if (!folderWatchable) return nullptr;
  return std::make_unique<FakeNotification>(*this);
}

void FakePlatform::SetConsoleTitleText(const std::string& title) {
  calls.push_back("SetConsoleTitle " + title);
  consoleTitle = title;
}

std::optional<std::string> FakePlatform::ReadConsoleTitle(std::size_t size) {
  calls.push_back("GetConsoleTitle");
  if (!titleReads.empty()) {
    std::optional<std::string> read = titleReads.front();
    titleReads.pop_front();
    return read;
  }
  return consoleTitle.substr(0, size);
}

std::optional<platform::WindowRef> FakePlatform::FindTopLevelWindow(const std::string& title) {
  calls.push_back("FindWindow " + title);
  return window;
}

void FakePlatform::MinimizeWindow(platform::WindowRef handle) {
  calls.push_back("ShowWindow " + std::to_string(handle) + " SW_MINIMIZE");
}

std::unique_ptr<platform::InternetSession> FakePlatform::OpenInternetSession(
    const std::string& agent) {
  calls.push_back("OpenSession " + agent);
  if (!sessionOpens) {
    internetError = "The Internet session could not be opened\r\n";
    return nullptr;
  }
  return std::make_unique<FakeSession>(*this);
}

std::vector<std::string> LogLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t end; (end = bytes.find("\r\n", begin)) != std::string::npos; begin = end + 2)
    lines.push_back(bytes.substr(begin, end - begin));
  if (begin < bytes.size()) lines.push_back(bytes.substr(begin));
  return lines;
}

}  // namespace testing_support
