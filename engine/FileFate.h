#pragma once

#include "engine/FileSystem.h"
#include "engine/Folder.h"
#include "engine/RunOutcome.h"
#include "engine/StayReason.h"

#include <optional>
#include <string>

namespace foldwise {

// What became of one file that a sort or an undo came to.
// Gone: no longer where a sort put it; NeverMoved: a move that was announced but not made;
// NameRefused, TooLarge: the destination's file system cannot store it; FolderBlocked: something that
// is not a folder holds the name of its sub-folder.
enum class FileFate {
    Moved,
    NameTaken,
    NotRegular,
    NameRefused,
    TooLarge,
    FolderBlocked,
    InUse,
    Vanished,
    Gone,
    NotAFile,
    NeverMoved,
    Cancelled
};

// The fate of a file whose move ended with `result`; a move whose destination folder was gone is
// the caller's to handle.
FileFate fateOf(MoveResult result);

// What the entry `name` of `folder` is, judged by what it leads to: only regular files, and links to
// them, are moved. The identity is the entry's own, a link's rather than its target's.
struct Candidate {
    std::optional<FileFate> unmovable; // why it is not to be moved; nothing when it is
    FileIdentity identity;
    std::optional<std::uint64_t> size{}; // what it leads to, where the look gave it
};
Candidate examine(const Folder& folder, const std::string& name);

// Adds one file of that fate to the outcome's counts.
void count(RunOutcome& outcome, FileFate fate);

// Why a file of that fate stayed; nothing for a file that moved or was no part of the run.
std::optional<StayReason> stayReasonOf(FileFate fate);

} // namespace foldwise
