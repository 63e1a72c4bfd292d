#pragma once

#include <optional>

namespace foldwise {

// The headless commands: `foldwise sort|undo|stats|history|watch|settings …`, `--help` and `--version`.
// Returns the exit status when argv names one of them, and nothing when the window is to open: no arguments,
// or only options of the window's toolkit (such as -platform or -style).
std::optional<int> runCommandLine(int argc, char** argv);

// The build without the window: runs the command argv names, as `runCommandLine` does; where the window
// would open, says that this build has none and how to get help, and returns the usage error's status.
int runWithoutWindow(int argc, char** argv);

} // namespace foldwise
