#pragma once

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Moves every non-hidden file that lies directly in `input` into a sub-folder of `output` named
// after its category (useSmartCategories) or its lowercased extension ("other" when it has none).
// A name already taken at the destination is left where it is. Throws FileError at the first
// listing, creation or move that fails; what was moved before stays moved.
void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories);

} // namespace foldwise
