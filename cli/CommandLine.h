#pragma once

#include <optional>

namespace foldwise {

// The headless commands: `foldwise sort|undo|stats|history|watch …`, `--help` and `--version`. Returns the
// exit status when argv names one of them, and nothing when the window is to open: no arguments, or only
// options of the window's toolkit (such as -platform or -style).
std::optional<int> runCommandLine(int argc, char** argv);

} // namespace foldwise
