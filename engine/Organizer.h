#pragma once

#include "engine/Plan.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Moves every non-hidden regular file (or link to one) that lies directly in `input` into a
// sub-folder of `output` named after its category (useSmartCategories) or its lowercased extension
// ("other" when it has none). A name already taken at the destination is left where it is, and so
// are pipes, sockets and devices. The first listing, creation or move that fails ends the run; what
// was moved before stays moved.
RunOutcome organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories,
                         const RunOptions& options);

// What organizeFiles would do with the same folders and mode (and `options.include`), file by file.
// Throws FileError when the input folder cannot be listed.
Plan previewSort(const fs::path& input, const fs::path& output, bool useSmartCategories, const RunOptions& options);

// The same, throwing the failure that ended the run as a FileError.
void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories);

} // namespace foldwise
