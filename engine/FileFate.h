#pragma once

#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/RunOutcome.h"

#include <optional>
#include <string>

namespace foldwise {

// What became of one file that a sort or an undo came to.
enum class FileFate { Moved, NameTaken, NotRegular, Vanished, NotAFile, Cancelled };

// The fate of a file whose move ended with `result`; a move whose destination folder was gone is
// the caller's to handle.
FileFate fateOf(MoveResult result);

// Why the entry `name` of `folder` is not to be moved, with links followed: only regular files are.
std::optional<FileFate> unmovable(const Folder& folder, const std::string& name);

// Adds one file of that fate to the outcome's counts.
void count(RunOutcome& outcome, FileFate fate);

} // namespace foldwise
