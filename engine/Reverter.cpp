#include "engine/Reverter.h"

#include "engine/EmptyFolders.h"
#include "engine/FileFate.h"
#include "engine/Folder.h"
#include "engine/FolderAccess.h"
#include "engine/MoveFailure.h"
#include "engine/ProgressReporter.h"
#include "engine/TemporaryCopies.h"
#include "engine/TreeWalk.h"

#include <cerrno>
#include <optional>

namespace foldwise {

namespace {

// How many entries that may be files lie below `output`, for the progress of the moves.
std::int64_t countCandidates(const Folder& output) {
    std::int64_t count = 0;
    TreeWalk::run(output, {},
                  TreeWalk::Visitor{.entry =
                                        [&count](const Folder&, const std::string&) {
                                            ++count;
                                            return true;
                                        },
                                    .leftFolder = {},
                                    .unreadable = {}});
    return count;
}

class MoveBack {
public:
    MoveBack(const fs::path& input, ProgressReporter& progress, RunOutcome& outcome)
        : inputPath_(input), progress_(progress), outcome_(outcome) {}

    // Moves every file below `output` into the input folder; throws the first failure.
    void run(const Folder& output) {
        TreeWalk::run(
            output, {},
            TreeWalk::Visitor{
                .entry = [this](const Folder& folder, const std::string& name) { return moveOne(folder, name); },
                .leftFolder = {},
                .unreadable = [this](const FileError& error) { outcome_.unreadableFolders.push_back(error); },
            });
    }

    std::int64_t handled() const { return handled_; }

private:
    bool moveOne(const Folder& folder, const std::string& name) {
        const FileFate fate = progress_.stopRequested() ? FileFate::Cancelled : fateOf(folder, name);
        if (fate == FileFate::Cancelled) {
            outcome_.cancelled = true;
            return false;
        }
        count(outcome_, fate);
        ++handled_;
        progress_.fileDone();
        return true;
    }

    FileFate fateOf(const Folder& folder, const std::string& name) {
        if (const std::optional<FileFate> fate = unmovable(folder, name)) {
            return *fate;
        }
        const MoveResult result = folder.moveNoReplace(name, input(folder), name, progress_.controlFor(name));
        if (result == MoveResult::DestinationFolderGone) {
            throw MoveFailure(name, folder.path(), inputPath_.native()).atDestination(ENOENT);
        }
        return foldwise::fateOf(result);
    }

    // Opened at the first move, so that an output folder without files never needs the input folder.
    const Folder& input(const Folder& from) {
        if (!input_) {
            input_.emplace(inputPath_);
            if (input_->identity().device != from.identity().device) {
                removeAbandonedCopies(input_->fd()); // copies left by a killed move across file systems
            }
        }
        return *input_;
    }

    const fs::path inputPath_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    std::optional<Folder> input_;
    std::int64_t handled_ = 0;
};

// Removes the top-level folders of `output` that hold nothing but empty folders, never the input folder.
void cleanUp(const Folder& output, const fs::path& input) {
    const std::optional<FileIdentity> kept = Folder::workingDirectory().identityOf(input.string());
    for (const std::string& name : output.names(true)) {
        removeEmptyFolders(output, name, kept);
    }
}

} // namespace

RunOutcome revertFiles(const fs::path& input, const fs::path& output, const RunOptions& options) {
    const FolderPairAccess access(input, output);
    RunOutcome outcome;
    try {
        const Folder outputFolder(output);
        const std::int64_t total = countCandidates(outputFolder);
        ProgressReporter progress(options, total);
        MoveBack moveBack(input, progress, outcome);
        try {
            moveBack.run(outputFolder);
        } catch (const FileError& error) {
            outcome.failure = error;
        }
        outcome.notReached = std::max<std::int64_t>(0, total - moveBack.handled());
        if (!outcome.failure && !outcome.cancelled) {
            cleanUp(outputFolder, input);
        }
        progress.finish();
    } catch (const FileError& error) {
        outcome.failure = error;
    }
    return outcome;
}

void revertFiles(const fs::path& input, const fs::path& output) {
    const RunOutcome outcome = revertFiles(input, output, RunOptions{});
    if (outcome.failure) {
        throw *outcome.failure;
    }
    if (!outcome.unreadableFolders.empty()) {
        throw outcome.unreadableFolders.front();
    }
}

} // namespace foldwise
