#pragma once

#include "frame/Entry.h"

namespace fetch {

// The fetch tool's entry: its log names, console line, texts and phases.
extern const frame::Tool kGlyphfetch;

}  // namespace fetch
