#include "fetch/FetchApp.h"

#include "platform/Platform.h"

namespace fetch {

FetchApp fetchApp;

std::string FetchApp::AppName() const {
  const std::string path = platform::Host().ExecutablePath();
  std::string name = path.substr(path.find_last_of(platform::Host().PathSeparator()) + 1);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

}  // namespace fetch
