#pragma once

#include "engine/Folder.h"
#include "engine/History.h"
#include "engine/RunOutcome.h"

#include <filesystem>
#include <string>

namespace foldwise {

// A move to another file system killed after its copy was published and before its source was removed
// leaves the file in both places. Removes the copy `copyName` of `copyFolder` when it is the same as the
// source `sourceName` of `sourceFolder` (size, then bytes) and says so; keeps both otherwise.
bool withdrawDuplicateCopy(const Folder& copyFolder, const std::string& copyName, const Folder& sourceFolder,
                           const std::string& sourceName);

// Finishes what sorts from `input` into `output` left that way: a copy beside its intact source goes
// (or both stay, counted in outcome.keptBoth, when they differ); a copy whose source is gone was moved.
void finishInterruptedCopies(History& history, const Folder& input, const std::filesystem::path& output,
                             RunOutcome& outcome);

} // namespace foldwise
