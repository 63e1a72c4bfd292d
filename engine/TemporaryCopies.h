#pragma once

#include <string>
#include <string_view>

namespace foldwise {

// Moves across file systems write their copy under a hidden temporary name beside the destination,
// locked while it is written, so that a copy left by a killed move can be told from one in progress.
std::string newTemporaryCopyName();
bool isTemporaryCopyName(std::string_view name);

// Removes from the folder `folderFd` the temporary copies whose writing process is gone.
void removeAbandonedCopies(int folderFd) noexcept;

} // namespace foldwise
