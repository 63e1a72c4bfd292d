#pragma once

#include "engine/Descriptor.h"

#include <filesystem>
#include <string>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

// What inotify tells about the top level of one folder: no polling, so a quiet folder costs no CPU.
class FolderWatch {
public:
    explicit FolderWatch(fs::path folder);
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Starts watching the folder at its path; on failure returns false and says why in `reason`.
    bool start(std::string& reason);
    bool isWatching() const { return watch_ >= 0; }
    // Readable when events wait.
    int descriptor() const { return inotify_.get(); }

    struct Event {
        enum class Kind {
            Changed,    // a file appeared, was written, closed after writing, renamed to this name
            Removed,    // a file was removed or renamed away
            Overflowed, // events were lost: look at every file again
            FolderGone, // the folder was removed, renamed or unmounted: it is no longer watched
        };
        Kind kind;
        std::string name;
    };
    // The events that wait, without blocking.
    std::vector<Event> read();

private:
    fs::path folder_;
    Descriptor inotify_;
    int watch_ = -1;
};

} // namespace foldwise
