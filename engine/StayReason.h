#pragma once

#include <string_view>

namespace foldwise {

// Why a file that a sort or an undo came to stayed where it was.
enum class StayReason {
    NameTaken,     // its name is taken where it would go
    NotRegular,    // a pipe, socket, device or dangling link
    NameRefused,   // the destination's file system cannot store its name
    TooLarge,      // larger than the destination's file system can store
    FolderBlocked, // something that is not a folder holds the name of its sub-folder
    Gone,          // an undo's file, no longer where its sort put it
    Vanished,      // removed by another program before it could be moved
    InUse,         // still being written or downloaded, or a program's lock file
};

// The key that JSON output and tests use for a reason: "nameTaken", "nameRefused", …
std::string_view stayReasonKey(StayReason reason);

} // namespace foldwise
