#pragma once

#include "engine/RunKind.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace foldwise {

// A run the user stopped by quitting the window, kept in the preferences so that the next launch can
// mention it, once.
struct StoppedRunNote {
    RunKind kind = RunKind::Sort;
    std::filesystem::path input;
    std::filesystem::path output;
    std::int64_t moved = 0;
    std::int64_t left = 0; // still where they were

    void keep() const;
    // The note kept, which is forgotten as it is read; nothing when there is none.
    static std::optional<StoppedRunNote> take();
};

} // namespace foldwise
