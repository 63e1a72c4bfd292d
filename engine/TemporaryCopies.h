#pragma once

#include "engine/Descriptor.h"

#include <string>
#include <string_view>

namespace foldwise {

// Moves across file systems write their copy under a hidden temporary name beside the destination,
// locked while it is written, so that a copy left by a killed move can be told from one in progress.
std::string newTemporaryCopyName();
bool isTemporaryCopyName(std::string_view name);

// Creates the copy `name` in the folder `folderFd` for writing, never replacing anything, and locks it
// before any clean-up can see it. A closed descriptor, with errno set, when it cannot be created.
Descriptor createTemporaryCopy(int folderFd, const std::string& name);

// Removes from the folder `folderFd` the temporary copies whose writing process is gone.
void removeAbandonedCopies(int folderFd) noexcept;

} // namespace foldwise
