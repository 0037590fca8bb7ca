#pragma once

namespace watch {

// Installs the watched file as the live EUDC font: links the placeholder,
// copies the file into the fonts folder, links the copy. Logs each outcome.
void ReplaceEudcFont();

}  // namespace watch
