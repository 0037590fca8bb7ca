#pragma once

#include "frame/Entry.h"

namespace watch {

// The watch tool's entry: its log names, console line, texts and phases.
extern const frame::Tool kGlyphwarden;

}  // namespace watch
