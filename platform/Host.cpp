#include "platform/Platform.h"

namespace platform {

namespace {
Platform* host = nullptr;
}

Platform& Host() { return *host; }
void SetHost(Platform* platform) { host = platform; }

}  // namespace platform
