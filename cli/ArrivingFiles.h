#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace foldwise {

// The files of a watched folder that are waiting to settle. A file has settled once it has not changed
// for the settle time and no program has it open for writing; one that is open waits until its writer
// closes it (inotify says so). Names that mark unfinished downloads and lock files (FilesInUse) are left
// alone until they are renamed, as are hidden names, which no sort touches.
class ArrivingFiles {
public:
    using Clock = std::chrono::steady_clock;

    explicit ArrivingFiles(std::chrono::milliseconds settle) : settle_(settle) {}

    void changed(const std::string& name, Clock::time_point now);
    void removed(const std::string& name) { waiting_.erase(name); }
    void clear() { waiting_.clear(); }
    // Looks at `name` again at `when`, whatever became of it meanwhile.
    void retryAt(const std::string& name, Clock::time_point when);

    // When the next waiting file may have settled; nothing when none waits on a clock.
    std::optional<Clock::time_point> nextCheck() const;
    // Takes the files that have settled by `now` out of the waiting ones. `folder` is a descriptor of the
    // watched folder. Files no longer there, and entries that are neither files nor links, are forgotten.
    std::vector<std::string> takeSettled(int folder, Clock::time_point now);

private:
    enum class Check { Settled, Wait, WaitForClose, Forget };
    Check check(int folder, const std::string& name, Clock::time_point now, Clock::time_point& due) const;

    struct Waiting {
        std::optional<Clock::time_point> due; // nothing: open for writing, waits for the writer to close it
    };
    std::chrono::milliseconds settle_;
    std::map<std::string, Waiting> waiting_;
};

} // namespace foldwise
