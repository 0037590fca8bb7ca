#include "frame/RunLog.h"

#include <streambuf>

#include "platform/Platform.h"

namespace frame {

std::ostream* runLog = nullptr;

namespace {

// Stores each "\n" as CR LF, as a text-mode file does on Windows, so the
// run log has the same bytes on every platform.
class CrlfBuffer : public std::streambuf {
 public:
  explicit CrlfBuffer(std::streambuf* file) : file_(file) {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    if (c == '\n' && traits_type::eq_int_type(file_->sputc('\r'), traits_type::eof()))
      return traits_type::eof();
    return file_->sputc(traits_type::to_char_type(c));
  }
  int sync() override { return file_->pubsync(); }

 private:
  std::streambuf* file_;
};

class RunLogStream : public std::ostream {
 public:
  explicit RunLogStream(std::unique_ptr<std::ostream> file)
      : std::ostream(nullptr), file_(std::move(file)), buffer_(file_->rdbuf()) {
    rdbuf(&buffer_);
    if (!*file_) setstate(std::ios::badbit);
  }

 private:
  std::unique_ptr<std::ostream> file_;
  CrlfBuffer buffer_;
};

}  // namespace

std::unique_ptr<std::ostream> OpenRunLog(const std::string& path) {
  return std::make_unique<RunLogStream>(platform::Host().CreateOutputFile(path));
}

void WriteReport(const std::string& text) { *runLog << text << std::endl << std::endl; }

}  // namespace frame
