#pragma once

namespace foldwise {

// Raises the soft limit of open files to the hard limit, so deep walks rarely wait for descriptors.
void raiseOpenFileLimit() noexcept;

} // namespace foldwise
