// The FTP client on Linux, over libcurl.
//
// One easy handle per connection: the login happens when the connection is
// opened, and the download reuses the same control connection, as the
// Windows client does.
#include <curl/curl.h>
#include <unistd.h>

#include <cctype>

#include "platform/FtpClient.h"
#include "platform/posix/AtomicFile.h"
#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

// The Windows client's default waits: connecting, and a transfer (or the
// server's connect-back in active mode) that moves nothing.
constexpr long kWaitSeconds = 60;
// Larger reads than curl's default make a big file arrive with fewer calls.
constexpr long kReceiveBufferBytes = 512 * 1024;

// Why the calling thread's last Internet operation failed.
thread_local std::optional<std::string> internetError;

bool GlobalInit() {
  static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return initialized;
}

bool IsReplyEnd(const std::string& line) {
  const bool coded = line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[0])) &&
                     std::isdigit(static_cast<unsigned char>(line[1])) &&
                     std::isdigit(static_cast<unsigned char>(line[2]));
  return coded && (line.size() == 3 || line[3] == ' ');
}

// The server's replies as they arrive; `last` is the last complete one.
struct Replies {
  std::string current;
  std::string last;
};

std::size_t OnReplyLine(char* data, std::size_t size, std::size_t count, void* user) {
  Replies& replies = *static_cast<Replies*>(user);
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  if (!replies.current.empty()) replies.current += '\n';
  replies.current += line;
  // "226 text" ends a reply; "226-text" and plain lines continue it.
  if (IsReplyEnd(line)) {
    replies.last = replies.current;
    replies.current.clear();
  }
  return size * count;
}

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
  const int fd = *static_cast<int*>(user);
  return WriteAll(fd, data, size * count) ? size * count : 0;
}

std::optional<std::string> Escaped(const std::string& text) {
  char* escaped = curl_easy_escape(nullptr, text.data(), static_cast<int>(text.size()));
  if (escaped == nullptr) return std::nullopt;
  std::string result(escaped);
  curl_free(escaped);
  return result;
}

// The URL of remoteFile on server. Every byte of the name is escaped, so
// the RETR carries it exactly as given, relative to the login folder.
std::optional<std::string> UrlOf(const std::string& server, const std::string& remoteFile) {
  const bool bareIpv6 = server.find(':') != std::string::npos && server.front() != '[';
  const std::optional<std::string> path = Escaped(remoteFile);
  CURLU* url = curl_url();
  if (url == nullptr || !path) return std::nullopt;
  char* text = nullptr;
  const bool built =
      curl_url_set(url, CURLUPART_SCHEME, "ftp", 0) == CURLUE_OK &&
      curl_url_set(url, CURLUPART_HOST, (bareIpv6 ? "[" + server + "]" : server).c_str(), 0) ==
          CURLUE_OK &&
      curl_url_set(url, CURLUPART_PATH, ("/" + *path).c_str(), 0) == CURLUE_OK &&
      curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK;
  std::optional<std::string> result;
  if (built) result = text;
  curl_free(text);
  curl_url_cleanup(url);
  return result;
}

class CurlFtpConnection final : public FtpConnection {
 public:
  explicit CurlFtpConnection(std::string server) : server_(std::move(server)) {}
  ~CurlFtpConnection() override { Close(); }

  // Connects to the default port and logs in; false (with the reason
  // noted) when that fails.
  bool Open(const std::string& userName, const std::string& password) {
    handle_ = curl_easy_init();
    if (handle_ == nullptr) {
      internetError = "The FTP client could not be started";
      return false;
    }
    Configure(userName, password);
    // No body: log in and stay connected, ready for the download.
    curl_easy_setopt(handle_, CURLOPT_NOBODY, 1L);
    return Perform("");
  }

  bool GetFile(const std::string& remoteFile, const std::string& localFile) override {
    // A name ending in a slash would make the client list a folder and
    // hand back the listing as if it were the file.
    if (remoteFile.empty() || remoteFile.back() == '/') {
      internetError = "The remote name names a folder, not a file";
      return false;
    }
    if (handle_ == nullptr) {
      internetError = "The FTP connection is closed";
      return false;
    }
    curl_easy_setopt(handle_, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(handle_, CURLOPT_WRITEFUNCTION, &OnData);
    bool transferFailed = false;
    // The old file stays as it was unless the whole file has arrived. It
    // need not be forced to disk: it is only copied from, and a download
    // lost in a crash is simply made again by the next run.
    const bool written = WriteFileAtomically(
        localFile,
        [&](int fd) {
          curl_easy_setopt(handle_, CURLOPT_WRITEDATA, &fd);
          transferFailed = !Perform(remoteFile);
          // Renaming over the old file would make ext4 push the new one to
          // disk first; removed, it is simply replaced.
          if (!transferFailed) unlink(localFile.c_str());
          return !transferFailed;
        },
        false);
    curl_easy_setopt(handle_, CURLOPT_WRITEDATA, nullptr);
    // The temporary file itself could not be made or put in place.
    if (!written && !transferFailed)
      internetError = Host().SystemErrorText(Host().LastError()).value_or("File error");
    return written;
  }

  void Close() override {
    if (handle_ == nullptr) return;
    curl_easy_cleanup(handle_);
    handle_ = nullptr;
  }

 private:
  void Configure(const std::string& userName, const std::string& password) {
    curl_easy_setopt(handle_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(handle_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(handle_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle_, CURLOPT_USERNAME, userName.c_str());
    curl_easy_setopt(handle_, CURLOPT_PASSWORD, password.c_str());
    // Active mode, with the PORT command where the connection is IPv4.
    curl_easy_setopt(handle_, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(handle_, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(handle_, CURLOPT_TRANSFERTEXT, 0L);
    // One RETR with the name as given, no CWD along the way.
    curl_easy_setopt(handle_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    curl_easy_setopt(handle_, CURLOPT_CONNECTTIMEOUT, kWaitSeconds);
    curl_easy_setopt(handle_, CURLOPT_SERVER_RESPONSE_TIMEOUT, kWaitSeconds);
    curl_easy_setopt(handle_, CURLOPT_ACCEPTTIMEOUT_MS, kWaitSeconds * 1000);
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(handle_, CURLOPT_LOW_SPEED_TIME, kWaitSeconds);
    curl_easy_setopt(handle_, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    curl_easy_setopt(handle_, CURLOPT_HEADERFUNCTION, &OnReplyLine);
    curl_easy_setopt(handle_, CURLOPT_HEADERDATA, &replies_);
  }

  bool Perform(const std::string& remoteFile) {
    const std::optional<std::string> url = UrlOf(server_, remoteFile);
    if (!url) {
      internetError = "The server name or remote file name cannot be used in a URL";
      return false;
    }
    curl_easy_setopt(handle_, CURLOPT_URL, url->c_str());
    errorBuffer_[0] = '\0';
    replies_ = {};
    const CURLcode result = curl_easy_perform(handle_);
    if (result == CURLE_OK) return true;
    internetError = Description(result);
    return false;
  }

  // The server's last reply when it refused, else the client's own text.
  std::string Description(CURLcode result) {
    long code = 0;
    curl_easy_getinfo(handle_, CURLINFO_RESPONSE_CODE, &code);
    if (code >= 400 && replies_.last.rfind(std::to_string(code), 0) == 0) return replies_.last;
    // The client keeps only its first complaint of a transfer, and a broken
    // transfer's first complaint can be about the socket going away.
    if (result == CURLE_PARTIAL_FILE) return PartialFileText();
    if (errorBuffer_[0] != '\0') return errorBuffer_;
    return curl_easy_strerror(result);
  }

  std::string PartialFileText() {
    curl_off_t received = 0;
    curl_off_t expected = -1;
    curl_easy_getinfo(handle_, CURLINFO_SIZE_DOWNLOAD_T, &received);
    curl_easy_getinfo(handle_, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected);
    std::string text = "The transfer broke off after " + std::to_string(received) + " bytes";
    if (expected >= 0) text += " of " + std::to_string(expected);
    return text;
  }

  std::string server_;
  CURL* handle_ = nullptr;
  char errorBuffer_[CURL_ERROR_SIZE] = {};
  Replies replies_;
};

class CurlSession final : public InternetSession {
 public:
  std::unique_ptr<FtpConnection> GetFtpConnection(const std::string& server,
                                                  const std::string& userName,
                                                  const std::string& password) override {
    auto connection = std::make_unique<CurlFtpConnection>(server);
    if (!connection->Open(userName, password)) return nullptr;
    return connection;
  }
  void Close() override {}
};

}  // namespace

}  // namespace platform::posix

namespace platform {

// The agent name has no place in the FTP exchange.
std::unique_ptr<InternetSession> OpenFtpClientSession(const std::string&) {
  if (!posix::GlobalInit()) {
    posix::internetError = "The FTP client could not be initialised";
    return nullptr;
  }
  return std::make_unique<posix::CurlSession>();
}

std::optional<std::string> FtpClientErrorText() { return posix::internetError; }

}  // namespace platform
