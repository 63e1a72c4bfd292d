#pragma once

#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Moves every non-hidden regular file (or link to one) found at any depth below `output` directly
// into `input`, then removes the top-level folders of `output` that hold nothing but empty folders.
// A name already taken in `input` stays where it is, and so do pipes, sockets and devices. Folders
// that cannot be read are named in the outcome. The first move that fails ends the run, and nothing
// is cleaned up then; nor after a stop.
RunOutcome revertFiles(const fs::path& input, const fs::path& output, const RunOptions& options);

// The same, throwing the failure that ended the run, or the first folder that could not be read,
// as a FileError.
void revertFiles(const fs::path& input, const fs::path& output);

} // namespace foldwise
