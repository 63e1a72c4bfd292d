#include "engine/Reverter.h"

#include "engine/FileFate.h"
#include "engine/Folder.h"
#include "engine/FolderAccess.h"
#include "engine/History.h"
#include "engine/MoveFailure.h"
#include "engine/ProgressReporter.h"
#include "engine/TemporaryCopies.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <unistd.h>

namespace foldwise {

namespace {

constexpr std::size_t kBatchFiles = 1000;
constexpr auto kBatchTime = std::chrono::milliseconds(50);

// What to do with a recorded move, judged by what is on disk now.
enum class Decision {
    MoveBack,    // its file is where the sort put it
    NeverMoved,  // announced, but the sort was stopped before it moved the file
    AlreadyBack, // brought back by an undo that was stopped before it could record so
    Gone,        // no longer where the sort put it
};

Decision decide(const Folder& input, const Folder* subFolder, const History::Move& move,
                std::optional<FileIdentity>& there) {
    there = subFolder ? subFolder->entryIdentityOf(move.name) : std::nullopt;
    if (there == move.identity) {
        return Decision::MoveBack;
    }
    const bool backAlready = input.entryIdentityOf(move.name) == move.identity;
    if (move.state == History::MoveState::Intended) {
        // An announced move whose file left its source was made, though its record may not say where.
        return there && !backAlready ? Decision::MoveBack : Decision::NeverMoved;
    }
    return backAlready ? Decision::AlreadyBack : Decision::Gone;
}

// The sub-folders of the output folder that recorded moves went into, each opened once, never
// through a link.
class RecordedSubFolders {
public:
    explicit RecordedSubFolders(const Folder& output) : output_(output) {}

    // Nothing when the sub-folder is gone, or no longer a folder.
    const Folder* open(const std::string& name) {
        auto found = folders_.find(name);
        if (found == folders_.end()) {
            std::optional<Folder> folder;
            try {
                folder.emplace(output_, name);
            } catch (const FileError&) {
                // None of its files is where the sort put it.
            }
            found = folders_.emplace(name, std::move(folder)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

private:
    const Folder& output_;
    std::map<std::string, std::optional<Folder>> folders_;
};

// Moves the files of recorded sorts back, recording in batches what became of each.
class Undo {
public:
    Undo(const Folder& input, const Folder& output, History& history, const RunOptions& options,
         ProgressReporter& progress, RunOutcome& outcome)
        : input_(input), history_(history), options_(options), progress_(progress), outcome_(outcome),
          subFolders_(output) {}

    void reverse(std::int64_t sortRun) {
        const std::vector<History::Move> moves = history_.movesToUndo(sortRun);
        for (std::size_t next = 0; next < moves.size() && !outcome_.cancelled;) {
            std::vector<History::Change> changes;
            try {
                next = reverseBatch(moves, next, changes);
            } catch (...) {
                history_.recordChanges(changes);
                throw;
            }
            history_.recordChanges(changes);
        }
    }

    std::int64_t handled() const { return handled_; }

private:
    std::size_t reverseBatch(const std::vector<History::Move>& moves, std::size_t next,
                             std::vector<History::Change>& changes) {
        const auto started = std::chrono::steady_clock::now();
        const std::size_t end = std::min(moves.size(), next + kBatchFiles);
        for (; next < end && std::chrono::steady_clock::now() - started <= kBatchTime; ++next) {
            const FileFate fate = progress_.stopRequested() ? FileFate::Cancelled : reverseOne(moves[next], changes);
            if (fate == FileFate::Cancelled) {
                outcome_.cancelled = true;
                break;
            }
            count(outcome_, fate);
            progress_.fileDone();
            ++handled_;
        }
        return next;
    }

    FileFate reverseOne(const History::Move& move, std::vector<History::Change>& changes) {
        const Folder* subFolder = subFolders_.open(move.folder);
        std::optional<FileIdentity> there;
        switch (decide(input_, subFolder, move, there)) {
        case Decision::MoveBack:
            return moveBack(*subFolder, move, *there, changes);
        case Decision::NeverMoved:
            changes.push_back({move.id, std::nullopt});
            return FileFate::NeverMoved;
        case Decision::AlreadyBack:
            changes.push_back({move.id, History::MoveState::Undone});
            return FileFate::Moved;
        case Decision::Gone:
            break;
        }
        changes.push_back({move.id, History::MoveState::Gone});
        return FileFate::Gone;
    }

    FileFate moveBack(const Folder& subFolder, const History::Move& move, const FileIdentity& identity,
                      std::vector<History::Change>& changes) {
        switch (subFolder.moveNoReplace(move.name, input_, move.name, progress_.controlFor(move.name))) {
        case MoveResult::Moved:
            changes.push_back({move.id, History::MoveState::Undone});
            noteMoved(move);
            return FileFate::Moved;
        case MoveResult::DestinationExists:
            changes.push_back({move.id, History::MoveState::Made, identity});
            return FileFate::NameTaken;
        case MoveResult::SourceVanished:
            changes.push_back({move.id, History::MoveState::Gone});
            return FileFate::Gone;
        case MoveResult::Cancelled:
            return FileFate::Cancelled;
        case MoveResult::DestinationFolderGone:
            break;
        }
        throw MoveFailure(move.name, subFolder.path(), input_.path()).atDestination(ENOENT);
    }

    void noteMoved(const History::Move& move) {
        if (foldersUsed_.insert(move.folder).second) {
            outcome_.folders = static_cast<std::int64_t>(foldersUsed_.size());
        }
        if (options_.moved) {
            options_.moved(move.name, move.folder);
        }
    }

    const Folder& input_;
    History& history_;
    const RunOptions& options_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    RecordedSubFolders subFolders_;
    std::set<std::string> foldersUsed_;
    std::int64_t handled_ = 0;
};

// Removes the sub-folders that a sort made, where each is still the folder it made and holds nothing
// but copies left by killed moves.
void removeMadeFolders(const Folder& output, const std::vector<History::MadeFolder>& folders) {
    for (const History::MadeFolder& made : folders) {
        if (output.entryIdentityOf(made.name) != made.identity) {
            continue;
        }
        try {
            removeAbandonedCopies(Folder(output, made.name).fd());
        } catch (const FileError&) {
            continue;
        }
        ::unlinkat(output.fd(), made.name.c_str(), AT_REMOVEDIR); // fails, as it should, unless empty
    }
}

RunOutcome reverseSorts(History& history, const fs::path& input, const fs::path& output, const RunOptions& options) {
    RunOutcome outcome;
    const History::Folders folders{input, output, Folder::identityOfPath(input), Folder::identityOfPath(output)};
    const std::vector<History::SortRun> sorts = history.sortsToUndo(folders);
    std::int64_t total = 0;
    for (const History::SortRun& sort : sorts) {
        total += sort.movesLeft;
    }
    if (sorts.empty()) {
        outcome.nothingOnRecord = true;
        return outcome;
    }
    const Folder inputFolder(input);
    const Folder outputFolder(output);
    if (inputFolder.identity().device != outputFolder.identity().device) {
        removeAbandonedCopies(inputFolder.fd()); // copies left by a killed move back across file systems
    }
    const std::int64_t run = history.beginRun(History::Kind::Undo, folders, std::nullopt);
    ProgressReporter progress(options, total);
    Undo undo(inputFolder, outputFolder, history, options, progress, outcome);
    try {
        for (std::size_t index = 0; index < sorts.size() && !outcome.cancelled; ++index) {
            undo.reverse(sorts[index].id);
        }
    } catch (const FileError& error) {
        outcome.failure = error;
    }
    outcome.notReached = total - undo.handled();
    for (const History::SortRun& sort : sorts) {
        if (!outcome.failure && !outcome.cancelled) {
            removeMadeFolders(outputFolder, history.foldersMadeBy(sort.id));
        }
        history.markUndoneIfFinished(sort.id, run);
    }
    history.finishRun(run, outcome, std::nullopt);
    progress.finish();
    return outcome;
}

} // namespace

RunOutcome revertFiles(const fs::path& input, const fs::path& output, const RunOptions& options) {
    const FolderPairAccess access(input, output);
    try {
        History history(options.historyFile);
        return reverseSorts(history, input, output, options);
    } catch (const FileError& error) {
        RunOutcome outcome;
        outcome.failure = error;
        return outcome;
    }
}

Plan previewUndo(const fs::path& input, const fs::path& output, const RunOptions& options) {
    History history(options.historyFile);
    const History::Folders folders{input, output, Folder::identityOfPath(input), Folder::identityOfPath(output)};
    Plan plan;
    const std::vector<History::SortRun> sorts = history.sortsToUndo(folders);
    plan.nothingOnRecord = sorts.empty();
    const std::optional<Folder> inputFolder = Folder::openIfThere(input);
    const std::optional<Folder> outputFolder = Folder::openIfThere(output);
    if (plan.nothingOnRecord || !inputFolder || !outputFolder) {
        return plan;
    }
    RecordedSubFolders subFolders(*outputFolder);
    for (const History::SortRun& sort : sorts) {
        for (const History::Move& move : history.movesToUndo(sort.id)) {
            std::optional<FileIdentity> there;
            switch (decide(*inputFolder, subFolders.open(move.folder), move, there)) {
            case Decision::MoveBack: {
                const bool taken = inputFolder->isAnything(move.name);
                plan.files.push_back({move.name, move.folder, taken ? Plan::Verdict::NameTaken : Plan::Verdict::Move});
                break;
            }
            case Decision::Gone:
                plan.files.push_back({move.name, move.folder, Plan::Verdict::Gone});
                break;
            case Decision::NeverMoved:
            case Decision::AlreadyBack:
                break;
            }
        }
    }
    return plan;
}

void revertFiles(const fs::path& input, const fs::path& output) {
    const RunOutcome outcome = revertFiles(input, output, RunOptions{});
    if (outcome.failure) {
        throw *outcome.failure;
    }
}

} // namespace foldwise
