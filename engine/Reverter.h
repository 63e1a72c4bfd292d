#pragma once

#include "engine/Plan.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"

#include <filesystem>

namespace foldwise {
namespace fs = std::filesystem;

// Undoes, newest first, every sort from `input` into `output` that the history holds and that is not
// yet undone: each file still where its sort put it (the same file, by device and inode) goes back
// to its name in `input`, never replacing what is there; then the sub-folders those sorts made are
// removed where they hold nothing at all. Files and folders that no sort put there are never
// touched; a file no longer where its sort put it is left alone and counted. The first move that
// fails ends the run, and nothing is cleaned up then, nor after a stop. With `options.onlySort` set,
// only that sort is undone (nothing is on record when it is not a sort of these folders still to
// undo); a newer sort's files are never replaced: a name they took makes the file stay.
RunOutcome revertFiles(const fs::path& input, const fs::path& output, const RunOptions& options);

// What revertFiles would do with the same folders and history, file by file. Throws FileError when
// the history cannot be used.
Plan previewUndo(const fs::path& input, const fs::path& output, const RunOptions& options);

// The same, throwing the failure that ended the run as a FileError.
void revertFiles(const fs::path& input, const fs::path& output);

} // namespace foldwise
