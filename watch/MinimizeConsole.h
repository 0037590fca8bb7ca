#pragma once

namespace watch {

// Gives the console a title of this run's own and minimises its window.
void MinimizeConsole();

}  // namespace watch
