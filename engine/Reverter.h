#pragma once

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Moves every non-hidden file found at any depth below `output` directly into `input`, then removes
// the top-level folders of `output` that hold nothing but empty folders. A name already taken in
// `input` stays where it is. Throws FileError at the first move that fails (nothing is cleaned up
// then) or when `output` cannot be listed for the clean-up.
void revertFiles(const fs::path& input, const fs::path& output);

} // namespace foldwise
