#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>
#include <sys/stat.h>

namespace foldwise {

// What a caller lends one move: a way to stop it, and a report of the bytes copied when the move
// has to copy the file to another file system.
struct MoveControl {
    std::stop_token stop; // checked between chunks of a copy; a stopped copy is removed, the source kept
    std::function<void(std::uint64_t bytesDone, std::uint64_t bytesTotal)> copied; // may be empty
    // Called with the status of a copy on another file system once it is written, its attributes kept
    // and flushed, just before it takes the file's name; should it throw, the copy is removed, the
    // source kept, and the exception goes on to the caller. May be empty.
    std::function<void(const struct stat& copy)> beforePublish = {};
};

} // namespace foldwise
