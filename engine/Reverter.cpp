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
#include <unistd.h>

namespace foldwise {

namespace {

constexpr std::size_t kBatchFiles = 1000;
constexpr auto kBatchTime = std::chrono::milliseconds(50);

// Moves the files of recorded sorts back, recording in batches what became of each.
class Undo {
public:
    Undo(const Folder& input, const Folder& output, History& history, std::int64_t run, ProgressReporter& progress,
         RunOutcome& outcome)
        : input_(input), output_(output), history_(history), run_(run), progress_(progress), outcome_(outcome) {}

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
        const Folder* subFolder = this->subFolder(move.folder);
        const std::optional<FileIdentity> there = subFolder ? subFolder->entryIdentityOf(move.name) : std::nullopt;
        const bool backAlready = input_.entryIdentityOf(move.name) == move.identity;
        // An announced move whose file left its source was made, though its record may not say where.
        const bool made =
            there == move.identity || (there && move.state == History::MoveState::Intended && !backAlready);
        if (made) {
            return moveBack(*subFolder, move, *there, changes);
        }
        if (move.state == History::MoveState::Intended) {
            changes.push_back({move.id, std::nullopt, move.identity});
            return FileFate::NeverMoved;
        }
        if (backAlready) { // brought back by an undo that was stopped before it could record so
            changes.push_back({move.id, History::MoveState::Undone, move.identity});
            return FileFate::Moved;
        }
        changes.push_back({move.id, History::MoveState::Gone, move.identity});
        return FileFate::Gone;
    }

    FileFate moveBack(const Folder& subFolder, const History::Move& move, const FileIdentity& identity,
                      std::vector<History::Change>& changes) {
        switch (subFolder.moveNoReplace(move.name, input_, move.name, progress_.controlFor(move.name))) {
        case MoveResult::Moved:
            changes.push_back({move.id, History::MoveState::Undone, identity});
            return FileFate::Moved;
        case MoveResult::DestinationExists:
            changes.push_back({move.id, History::MoveState::Made, identity});
            return FileFate::NameTaken;
        case MoveResult::SourceVanished:
            changes.push_back({move.id, History::MoveState::Gone, identity});
            return FileFate::Gone;
        case MoveResult::Cancelled:
            return FileFate::Cancelled;
        case MoveResult::DestinationFolderGone:
            break;
        }
        throw MoveFailure(move.name, subFolder.path(), input_.path()).atDestination(ENOENT);
    }

    // The sub-folder `name` of the output folder, never through a link; nothing when it is gone.
    const Folder* subFolder(const std::string& name) {
        auto found = subFolders_.find(name);
        if (found == subFolders_.end()) {
            std::optional<Folder> folder;
            try {
                folder.emplace(output_, name);
            } catch (const FileError&) {
                // Gone, or no longer a folder: none of its files is where the sort put it.
            }
            found = subFolders_.emplace(name, std::move(folder)).first;
        }
        return found->second ? &*found->second : nullptr;
    }

    const Folder& input_;
    const Folder& output_;
    History& history_;
    const std::int64_t run_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    std::map<std::string, std::optional<Folder>> subFolders_;
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
    Undo undo(inputFolder, outputFolder, history, run, progress, outcome);
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

void revertFiles(const fs::path& input, const fs::path& output) {
    const RunOutcome outcome = revertFiles(input, output, RunOptions{});
    if (outcome.failure) {
        throw *outcome.failure;
    }
}

} // namespace foldwise
