#pragma once

#include "engine/Descriptor.h"
#include "engine/RunOptions.h"
#include "engine/RunOutcome.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace foldwise {
namespace fs = std::filesystem;

// Keeps sorts and undos whose folders overlap from interleaving, in one process or in several: a run
// holds an exclusive flock on one lock file per folder it uses, in a `locks` folder beside the history
// of sorts, from before it opens the history until it has recorded its end. The kernel drops a flock
// with the last descriptor of its holder, so a killed or crashed run leaves nothing to clean up; lock
// files themselves are never removed (a waiter may hold one open).
class RunLock {
public:
    // "the sort from “In” into “Out”", "the undo of the sorts from “In” into “Out”".
    static std::string sortDescription(const fs::path& input, const fs::path& output);
    static std::string undoDescription(const fs::path& input, const fs::path& output);

    // Locks `input` and `output` (once when they are the same) for the run `description`. When another
    // run holds either, tells `options.waiting` what that run is, once, and waits for it until
    // `options.stop` is requested: nothing then. Throws FileError when a lock file cannot be made.
    static std::optional<RunLock> take(const fs::path& input, const fs::path& output, const std::string& description,
                                       const RunOptions& options);
    // The same for organizeFiles and revertFiles: nothing when the run must end, with `outcome` saying
    // why (cancelled, or the failure).
    static std::optional<RunLock> forRun(const fs::path& input, const fs::path& output, const std::string& description,
                                         const RunOptions& options, RunOutcome& outcome);

    // Whether a watch registered on `folder` (see WatchRegistration) with the history `historyFile`
    // (empty: the user's own) is running.
    static bool isWatched(const fs::path& folder, const fs::path& historyFile = {});

    // The folder of the lock files that go with the history `historyFile` (empty: the user's own).
    static fs::path locksFolder(const fs::path& historyFile);
    // The name of `folder`'s lock files there, without an ending: a hash of its recorded path.
    static std::string lockName(const fs::path& folder);

private:
    RunLock() = default;

    std::vector<Descriptor> held_;
};

// Says, for as long as it lives, that a watch is sorting `folder`: a shared flock on the folder's
// ".watch" lock file, which an undo can test for.
class WatchRegistration {
public:
    explicit WatchRegistration(const fs::path& folder, const fs::path& historyFile = {});

private:
    Descriptor file_;
};

} // namespace foldwise
