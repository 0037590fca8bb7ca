// The console on Linux: standard output and error in the terminal's own
// encoding, and the terminal's title and iconify sequences for the window.
#include <langinfo.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "platform/posix/PosixPlatform.h"

namespace platform::posix {

namespace {

// The terminal is the window: it is only there when standard output is one.
bool OnTerminal() { return isatty(STDOUT_FILENO) == 1; }

// The tools' texts are code page 932; the terminal shows the locale's
// encoding (taken as UTF-8 under the plain C locale, as terminals are).
iconv_t OpenConsoleConverter() {
  std::setlocale(LC_CTYPE, "");
  std::string encoding = nl_langinfo(CODESET);
  std::setlocale(LC_CTYPE, "C");
  if (encoding.empty() || encoding == "ANSI_X3.4-1968") encoding = "UTF-8";
  return iconv_open(encoding.c_str(), "CP932");
}

}  // namespace

// Start-up: without a converter no line could be shown as it should.
bool PosixPlatform::Initialize() { return ToConsoleConverter() != kNoConverter; }

iconv_t PosixPlatform::ToConsoleConverter() {
  if (toConsole_ == kNoConverter) toConsole_ = OpenConsoleConverter();
  return toConsole_;
}

std::string PosixPlatform::ToConsoleText(const std::string& text) {
  const iconv_t converter = ToConsoleConverter();
  if (converter == kNoConverter) return text;
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  while (inLeft > 0) {
    if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // A byte the converter cannot take is shown as "?" rather than lost.
    if (outLeft == 0) break;
    *outPtr++ = '?';
    --outLeft;
    ++in;
    --inLeft;
  }
  out.resize(out.size() - outLeft);
  return out;
}

void PosixPlatform::WriteConsoleLine(const std::string& text) {
  std::cout << ToConsoleText(text) << std::endl;
}

void PosixPlatform::WriteErrorLine(const std::string& text) {
  std::cerr << ToConsoleText(text) << std::endl;
}

bool PosixPlatform::HasConsoleWindow() { return OnTerminal(); }

void PosixPlatform::SetConsoleTitleText(const std::string& title) {
  if (!OnTerminal()) return;
  // A terminal cannot be asked for its title reliably, so the title set
  // is the one read back.
  consoleTitle_ = title;
  std::cout << "\033]0;" << ToConsoleText(title) << "\007" << std::flush;
}

std::optional<std::string> PosixPlatform::ReadConsoleTitle(std::size_t size) {
  if (!OnTerminal()) return std::nullopt;
  return consoleTitle_.substr(0, size);
}

std::optional<WindowRef> PosixPlatform::FindTopLevelWindow(const std::string& title) {
  if (!OnTerminal() || title != consoleTitle_) return std::nullopt;
  return WindowRef{1};
}

void PosixPlatform::MinimizeWindow(WindowRef) {
  if (OnTerminal()) std::cout << "\033[2t" << std::flush;
}

}  // namespace platform::posix
