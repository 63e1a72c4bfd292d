#include "engine/Reverter.h"

#include "engine/FileFate.h"
#include "engine/Folder.h"
#include "engine/FolderAccess.h"
#include "engine/History.h"
#include "engine/InterruptedCopies.h"
#include "engine/MoveFailure.h"
#include "engine/ProgressReporter.h"
#include "engine/RunLock.h"
#include "engine/TemporaryCopies.h"
#include "engine/Volume.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    // A move across file systems killed after its copy was published and before its source was
    // removed: the file is in both places. SortCopyLeft: the sort's copy is in the sub-folder;
    // UndoCopyLeft: an undo's copy is in the input folder.
    SortCopyLeft,
    UndoCopyLeft,
};

// Whether the entry is the file a stamp was taken of. FAT keeps times to two seconds, and a drive may
// show a copy's time at full precision until it is plugged in again: times within two seconds match.
bool matches(const Folder& folder, const std::string& name, const History::FileStamp& stamp) {
    constexpr std::int64_t kTolerance = 2'000'000'000;
    const std::optional<History::FileStamp> now = History::FileStamp::at(folder, name);
    return now && now->size == stamp.size && std::abs(now->modifiedNs - stamp.modifiedNs) <= kTolerance;
}

// A move made onto a volume whose inode numbers do not last: its file is known by place, size and time.
Decision decideByPlace(const Folder& input, const Folder* subFolder, const History::Move& move) {
    if (subFolder != nullptr && matches(*subFolder, move.nameThere(), *move.stamp)) {
        return move.copy && input.entryIdentityOf(move.name) == move.copy ? Decision::UndoCopyLeft : Decision::MoveBack;
    }
    return matches(input, move.name, *move.stamp) ? Decision::AlreadyBack : Decision::Gone;
}

Decision decide(const Folder& input, const Folder* subFolder, const History::Move& move,
                std::optional<FileIdentity>& there) {
    there = subFolder ? subFolder->entryIdentityOf(move.nameThere()) : std::nullopt;
    if (move.state == History::MoveState::Made && move.stamp) {
        return decideByPlace(input, subFolder, move);
    }
    if (there == move.identity) {
        // Only a move whose copy back was published before a kill needs a look at the input folder.
        return move.copy && input.entryIdentityOf(move.name) == move.copy ? Decision::UndoCopyLeft : Decision::MoveBack;
    }
    const bool backAlready = input.entryIdentityOf(move.name) == move.identity;
    if (move.state == History::MoveState::Intended) {
        if (move.copy && there == move.copy && backAlready) {
            return Decision::SortCopyLeft;
        }
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
    Undo(const Folder& input, const Folder& output, History& history, std::int64_t run, const RunOptions& options,
         ProgressReporter& progress, RunOutcome& outcome)
        : input_(input), history_(history), run_(run), options_(options), progress_(progress), outcome_(outcome),
          subFolders_(output), recordsReturned_(outcome.inputWatched) {}

    void reverse(std::int64_t sortRun) {
        const std::vector<History::Move> moves = history_.movesToUndo(sortRun);
        for (std::size_t next = 0; next < moves.size() && !outcome_.cancelled;) {
            std::vector<History::Change> changes;
            try {
                next = reverseBatch(moves, next, changes);
            } catch (...) {
                record(changes);
                throw;
            }
            record(changes);
        }
    }

    std::int64_t handled() const { return handled_; }

private:
    void record(const std::vector<History::Change>& changes) {
        history_.recordChanges(changes);
        history_.recordReturned(run_, returned_);
        returned_.clear();
    }

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
            noteStayed(moves[next], fate);
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
        case Decision::SortCopyLeft:
            return finishSortCopy(*subFolder, move, changes);
        case Decision::UndoCopyLeft:
            return finishUndoCopy(*subFolder, move, *there, changes);
        case Decision::Gone:
            break;
        }
        changes.push_back({move.id, History::MoveState::Gone});
        return FileFate::Gone;
    }

    // A killed sort left its copy in the sub-folder beside the source: the copy goes when it is the
    // same as the source, and the move is forgotten; else both stay, and the outcome says so.
    FileFate finishSortCopy(const Folder& subFolder, const History::Move& move, std::vector<History::Change>& changes) {
        if (!withdrawDuplicateCopy(subFolder, move.nameThere(), input_, move.name)) {
            ++outcome_.keptBoth;
        }
        changes.push_back({move.id, std::nullopt});
        return FileFate::NeverMoved;
    }

    // A killed undo left its copy in the input folder beside the file in the sub-folder: the copy goes
    // when it is the same, and the file is moved back as if the undo had not begun; else both stay.
    FileFate finishUndoCopy(const Folder& subFolder, const History::Move& move, const FileIdentity& identity,
                            std::vector<History::Change>& changes) {
        if (withdrawDuplicateCopy(input_, move.name, subFolder, move.nameThere())) {
            return moveBack(subFolder, move, identity, changes);
        }
        ++outcome_.keptBoth;
        history_.forgetCopy(move.id);
        return FileFate::NameTaken;
    }

    FileFate moveBack(const Folder& subFolder, const History::Move& move, const FileIdentity& identity,
                      std::vector<History::Change>& changes) {
        MoveControl control = progress_.controlFor(move.name);
        // A copy back across file systems is on record before it is published, so that a kill before
        // the file in the sub-folder is removed leaves a history the next undo can finish from.
        control.beforePublish = [this, &move](const struct stat& copy) {
            history_.recordCopy(move.id, FileIdentity{copy.st_dev, copy.st_ino});
        };
        // A file given a new name beside its namesake goes back under its own.
        switch (const MoveResult result = subFolder.moveNoReplace(move.nameThere(), input_, move.name, control)) {
        case MoveResult::Moved:
            changes.push_back({move.id, History::MoveState::Undone});
            noteReturned(move);
            noteMoved(move);
            return FileFate::Moved;
        case MoveResult::DestinationExists:
        case MoveResult::NameRefused:
        case MoveResult::TooLarge:
            changes.push_back({move.id, History::MoveState::Made, identity, move.stamp});
            return fateOf(result);
        case MoveResult::SourceVanished:
            changes.push_back({move.id, History::MoveState::Gone});
            return FileFate::Gone;
        case MoveResult::Cancelled:
            return FileFate::Cancelled;
        case MoveResult::DestinationFolderGone:
            break;
        }
        throw MoveFailure(move.nameThere(), subFolder.path(), input_.path()).atDestination(ENOENT);
    }

    // What was brought back, as it is now, so that watches leave it alone until it changes.
    void noteReturned(const History::Move& move) {
        struct stat status {};
        if (recordsReturned_ && ::fstatat(input_.fd(), move.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
            returned_.push_back(History::Returned{move.name, FileIdentity{status.st_dev, status.st_ino},
                                                  History::FileStamp::of(status)});
        }
    }

    void noteStayed(const History::Move& move, FileFate fate) {
        if (const std::optional<StayReason> reason = stayReasonOf(fate); reason && options_.stayed) {
            options_.stayed(move.name, move.folder, *reason);
        }
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
    const std::int64_t run_;
    const RunOptions& options_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    RecordedSubFolders subFolders_;
    const bool recordsReturned_;
    std::vector<History::Returned> returned_;
    std::set<std::string> foldersUsed_;
    std::int64_t handled_ = 0;
};

bool isRealFolder(const Folder& output, const std::string& name) {
    struct stat status {};
    return ::fstatat(output.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

// Removes the sub-folders that the sort `sortRun` made, where each is still the folder it made (by
// identity, or by place on a volume whose inode numbers do not last) and holds nothing but copies left
// by killed moves. A folder removed, or no longer the one it made, is forgotten.
void removeMadeFolders(History& history, std::int64_t sortRun, const Folder& output) {
    const bool byPlace = !Volume::of(output.fd()).stableInodes;
    for (const History::MadeFolder& made : history.foldersMadeBy(sortRun)) {
        const bool same =
            byPlace ? isRealFolder(output, made.name) : output.entryIdentityOf(made.name) == made.identity;
        if (same) {
            try {
                removeAbandonedCopies(Folder(output, made.name).fd());
            } catch (const FileError&) {
                continue;
            }
            if (::unlinkat(output.fd(), made.name.c_str(), AT_REMOVEDIR) != 0) {
                continue; // not empty, as it should stay
            }
        }
        history.forgetMadeFolder(sortRun, made.name);
    }
}

// The sorts of `folders` that an undo with `options` reverses, newest first.
std::vector<History::SortRun> sortsToReverse(History& history, const History::Folders& folders,
                                             const RunOptions& options) {
    std::vector<History::SortRun> sorts = history.sortsToUndo(folders);
    if (options.onlySort != 0) {
        std::erase_if(sorts, [&](const History::SortRun& sort) { return sort.id != options.onlySort; });
    }
    return sorts;
}

RunOutcome reverseSorts(History& history, const fs::path& input, const fs::path& output, const RunOptions& options) {
    RunOutcome outcome;
    const History::Folders folders{input, output, Folder::identityOfPath(input), Folder::identityOfPath(output)};
    const std::vector<History::SortRun> sorts = sortsToReverse(history, folders, options);
    std::int64_t total = 0;
    for (const History::SortRun& sort : sorts) {
        total += sort.movesLeft;
    }
    if (sorts.empty()) {
        outcome.nothingOnRecord = true;
        outcome.alreadyUndone = history.hasUndoneSorts(folders);
        return outcome;
    }
    const Folder inputFolder(input);
    const Folder outputFolder(output);
    if (inputFolder.identity().device != outputFolder.identity().device) {
        removeAbandonedCopies(inputFolder.fd()); // copies left by a killed move back across file systems
    }
    const std::int64_t run = history.beginRun(RunKind::Undo, folders, std::nullopt);
    // What comes back is recorded for a watch of the input folder, where one runs.
    outcome.inputWatched = RunLock::isWatched(input, options.historyFile);
    ProgressReporter progress(options, total);
    Undo undo(inputFolder, outputFolder, history, run, options, progress, outcome);
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
            removeMadeFolders(history, sort.id, outputFolder);
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
    // Held until the run is recorded as finished: no other run on these folders, in any process, meanwhile.
    RunOutcome waited;
    const std::optional<RunLock> lock =
        RunLock::forRun(input, output, RunLock::undoDescription(input, output), options, waited);
    if (!lock) {
        return waited;
    }
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
    const std::vector<History::SortRun> sorts = sortsToReverse(history, folders, options);
    plan.nothingOnRecord = sorts.empty();
    if (plan.nothingOnRecord) {
        plan.alreadyUndone = history.hasUndoneSorts(folders);
        return plan;
    }
    std::optional<Folder> inputFolder;
    std::optional<Folder> outputFolder;
    try {
        inputFolder.emplace(input);
        outputFolder.emplace(output);
    } catch (const FileError& error) {
        plan.failure = error; // the undo would stop there too
        return plan;
    }
    RecordedSubFolders subFolders(*outputFolder);
    for (const History::SortRun& sort : sorts) {
        for (const History::Move& move : history.movesToUndo(sort.id)) {
            std::optional<FileIdentity> there;
            const Decision decision = decide(*inputFolder, subFolders.open(move.folder), move, there);
            switch (decision) {
            case Decision::MoveBack:
            case Decision::UndoCopyLeft: {
                // An undo's own copy left by a kill is no taken name: the next undo finishes that move.
                const bool taken = decision == Decision::MoveBack && inputFolder->isAnything(move.name);
                plan.files.push_back({move.name, move.folder, taken ? Plan::Verdict::NameTaken : Plan::Verdict::Move});
                break;
            }
            case Decision::Gone:
                plan.files.push_back({move.name, move.folder, Plan::Verdict::Gone});
                break;
            case Decision::NeverMoved:
            case Decision::AlreadyBack:
            case Decision::SortCopyLeft:
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
