#pragma once

#include "engine/FileSystem.h"
#include "engine/MoveControl.h"
#include "engine/MoveFailure.h"

#include <string>

namespace foldwise {

// Moves `name` of the folder `fromFd` to `toName` directly in the folder `toFd`, which lies on
// another file system: copies to a hidden temporary name beside the destination, flushes it,
// renames it into place without replacing, flushes the destination folder, and only then removes
// the source, provided it did not change while it was copied. Any failure removes the copy and
// leaves the source untouched; a file never ends up in both places without an error saying so.
// Returns Moved, DestinationExists, SourceVanished, DestinationFolderGone (the folder `toFd` was
// removed) or Cancelled (the copy was stopped through `control`, removed, and the source kept).
MoveResult moveAcrossDevices(int fromFd, const std::string& name, int toFd, const std::string& toName,
                             const MoveControl& control, const MoveFailure& failure);

} // namespace foldwise
