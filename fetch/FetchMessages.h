#pragma once

#include "frame/MessageTexts.h"

namespace fetch {

extern const frame::MessageTable kFetchMessages;

}  // namespace fetch
