#pragma once

#include "TempTree.h"

#include <string>
#include <vector>

namespace foldwise::testing {

// Fills `tree` with a reproducible mix of files, folders, hidden entries, packages, links of every kind
// (to files, to folders including ancestors, dangling) and fifos, at random depths.
void growRandomTree(const TempTree& tree, unsigned seed, int entries);

// The files below `root` that the analysis must count, found the slow, plain way with std::filesystem.
std::vector<fs::path> filesFoundBySlowWalk(const fs::path& root);

// The extension of a file name, lowercased in ASCII, or "No Extension".
std::string slowTypeOf(const fs::path& file);

} // namespace foldwise::testing
