#pragma once

#include <cstdint>
#include <functional>
#include <stop_token>

namespace foldwise {

// What a caller lends one move: a way to stop it, and a report of the bytes copied when the move
// has to copy the file to another file system.
struct MoveControl {
    std::stop_token stop; // checked between chunks of a copy; a stopped copy is removed, the source kept
    std::function<void(std::uint64_t bytesDone, std::uint64_t bytesTotal)> copied; // may be empty
};

} // namespace foldwise
