#pragma once

#include "engine/FileError.h"
#include "engine/FileSystem.h"

#include <functional>
#include <string>

namespace foldwise {

// Moves `name` of the folder `fromFd` to `toRelative` of the folder `toFd` on another file system:
// copies to a hidden temporary name beside the destination, flushes it, renames it into place
// without replacing, and only then removes the source. Any failure removes the temporary copy and
// leaves the source untouched. Content, permission bits and modification time are kept; a link is
// re-created as a link. `failure` turns an errno into the error to throw.
MoveResult moveAcrossDevices(int fromFd, const std::string& name, int toFd, const std::string& toRelative,
                             const std::function<FileError(int)>& failure);

} // namespace foldwise
