#pragma once

#include "engine/FileError.h"

#include <cstdint>
#include <optional>

namespace foldwise {

// What a sort or an undo did. Every file the run set out to handle is counted in exactly one of
// moved, nameTaken, notRegular, nameRefused, tooLarge, folderBlocked, vanished, gone and notReached.
struct RunOutcome {
    std::int64_t moved = 0;         // an undo's are the files it brought back
    std::int64_t nameTaken = 0;     // left where they are: their name is taken at the destination
    std::int64_t notRegular = 0;    // left where they are: pipes, sockets, devices and dangling links
    std::int64_t nameRefused = 0;   // left where they are: the destination's file system cannot store their names
    std::int64_t tooLarge = 0;      // left where they are: larger than the destination's file system can store
    std::int64_t folderBlocked = 0; // left where they are: something that is not a folder holds their sub-folder's name
    std::int64_t inUse = 0;         // left where they are: still being written or downloaded, or lock files
    std::int64_t vanished = 0;      // removed by another program before they could be moved
    std::int64_t gone = 0;          // an undo's files that are no longer where the sort put them
    std::int64_t notReached = 0;    // left untouched because the run was stopped or failed first
    std::int64_t folders = 0;       // sub-folders that files went into (a sort) or came from (an undo)
    // Of the files whose name was taken (whether they stayed or moved under a new name), those whose
    // namesake there has the same size and bytes. Nothing is removed for being a duplicate.
    std::int64_t identical = 0;
    std::int64_t renamed = 0; // of the files moved, those moved under a new name beside their namesake
    // Files a killed move had left in both places, found different from each other: both are kept.
    std::int64_t keptBoth = 0;
    bool nothingOnRecord = false; // an undo that found no sort of these folders to reverse
    bool alreadyUndone = false;   // with nothingOnRecord: sorts of these folders are on record, all undone
    // An undo whose input folder a watch is sorting: the files it brought back stay until changed.
    bool inputWatched = false;
    bool cancelled = false;
    std::optional<FileError> failure; // the failure that ended the run

    // Whether every file the run set out to handle was dealt with and nothing went wrong.
    bool isComplete() const { return !cancelled && !failure; }
};

} // namespace foldwise
