#pragma once

#include "engine/FileError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace foldwise {

// What a sort or an undo would do, file by file, worked out without moving anything or writing to
// the history.
struct Plan {
    enum class Verdict {
        Move,          // would be moved
        NameTaken,     // would stay: its name is taken where it would go
        NotRegular,    // would stay: a pipe, socket, device or dangling link
        NameRefused,   // would stay: the destination's file system cannot store its name
        TooLarge,      // would stay: larger than the destination's file system can store
        FolderBlocked, // would stay: something that is not a folder holds its sub-folder's name
        InUse,         // would stay: still being written or downloaded, or a lock file
        Gone,          // an undo's file no longer where its sort put it
    };
    struct File {
        std::string name;
        std::string subFolder; // where a sort would put it, or where an undo would take it from
        Verdict verdict;
        // The name a sort would give it beside its namesake (OnNameTaken::KeepBoth); empty when it
        // keeps its own.
        std::string newName{};
        // Its name is taken where it would go by a file of the same size and bytes.
        bool identical = false;
    };
    std::vector<File> files;          // in the order the run would handle them
    std::optional<FileError> failure; // the failure the run would stop at, after the files above
    bool nothingOnRecord = false;     // an undo with no sort of these folders to reverse
    bool alreadyUndone = false;       // with nothingOnRecord: sorts of these folders are on record, all undone

    // How many files have `verdict`.
    std::int64_t count(Verdict verdict) const;
    // The sub-folders files would move into (or back from), each with its number of files, most first.
    std::vector<std::pair<std::string, std::int64_t>> subFolderCounts() const;
};

} // namespace foldwise
