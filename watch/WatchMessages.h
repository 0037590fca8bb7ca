#pragma once

#include "frame/MessageTexts.h"

namespace watch {

extern const frame::MessageTable kWatchMessages;

}  // namespace watch
