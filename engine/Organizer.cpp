#include "engine/Organizer.h"

#include "engine/Categories.h"
#include "engine/FileFate.h"
#include "engine/FileSystem.h"
#include "engine/FilesInUse.h"
#include "engine/Folder.h"
#include "engine/FreeName.h"
#include "engine/History.h"
#include "engine/InterruptedCopies.h"
#include "engine/Lowercase.h"
#include "engine/MoveFailure.h"
#include "engine/ProgressReporter.h"
#include "engine/RunLock.h"
#include "engine/SameContent.h"
#include "engine/SubFolders.h"
#include "engine/Volume.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unordered_map>
#include <unordered_set>

namespace foldwise {

namespace {

// Names the sub-folder a file goes into: its category, or its lowercased extension ("other" when
// it has none). Each distinct extension is named once per run.
class SubFolderNamer {
public:
    explicit SubFolderNamer(bool useSmartCategories) : useSmartCategories_(useSmartCategories) {}

    const std::string& nameFor(const std::string& fileName) {
        const std::string extension(FileSystem::nameExtension(fileName));
        if (useSmartCategories_) {
            return categories_.categoryForExtension(extension);
        }
        auto found = lowercased_.find(extension);
        if (found == lowercased_.end()) {
            found =
                lowercased_.emplace(extension, extension.empty() ? std::string("other") : lowercased(extension)).first;
        }
        return found->second;
    }

private:
    bool useSmartCategories_;
    CategoryCache categories_;
    std::unordered_map<std::string, std::string> lowercased_;
};

// Every entry of the listing that may be a file and that the caller wants sorted: real folders are
// left out at once.
std::vector<Folder::Entry> candidates(const Folder& input, const RunOptions& options) {
    std::vector<Folder::Entry> entries = input.entries(false);
    std::erase_if(entries, [&](const Folder::Entry& entry) {
        return entry.isRealFolder || (options.include && !options.include(entry.name));
    });
    return entries;
}

// What an entry of the listing is. A regular file needs no look of its own where the listing's
// inodes can be trusted: that spares a sort of many files a system call per file.
class Examiner {
public:
    explicit Examiner(const Folder& input)
        : input_(input), device_(input.identity().device), trustListing_(input.listsTrueInodes()) {}

    Candidate operator()(const Folder::Entry& entry) const {
        if (entry.isRegularFile && trustListing_) {
            return Candidate{std::nullopt, FileIdentity{device_, entry.inode}};
        }
        return examine(input_, entry.name);
    }

private:
    const Folder& input_;
    const dev_t device_;
    const bool trustListing_;
};

// The volume the output folder lies on, or will lie on once made.
Volume volumeOf(const fs::path& output) {
    for (const fs::path& folder : {output, output.parent_path()}) {
        if (const std::optional<Folder> there = Folder::openIfThere(folder)) {
            return Volume::of(there->fd());
        }
    }
    return Volume{};
}

// Why a file the output's volume cannot hold stays: a name its format refuses, or a size beyond its
// limit. Nothing when it can hold the file.
std::optional<FileFate> refusal(const Volume& volume, const Folder& input, const std::string& name,
                                const Candidate& candidate) {
    if (volume.refusesName(name)) {
        return FileFate::NameRefused;
    }
    if (!volume.largestFile) {
        return std::nullopt;
    }
    std::optional<std::uint64_t> size = candidate.size;
    struct stat status {};
    if (!size && ::fstatat(input.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        size = static_cast<std::uint64_t>(status.st_size);
    }
    return size && volume.refusesSize(*size) ? std::optional(FileFate::TooLarge) : std::nullopt;
}

constexpr std::size_t kBatchFiles = 1000;
constexpr auto kBatchTime = std::chrono::milliseconds(50);

// Sorts the files of a listing in batches. Each batch's moves are recorded in the history as
// intended before any of them is made, and as made (or forgotten) once the batch is over, so
// that a run killed at any instant leaves a history that the disk can be checked against.
class Sort {
public:
    Sort(const Folder& input, const fs::path& output, bool useSmartCategories, History& history, std::int64_t run,
         const RunOptions& options, ProgressReporter& progress, RunOutcome& outcome)
        : input_(input), examiner_(input), outputPath_(output), outputVolume_(volumeOf(output)),
          namer_(useSmartCategories), history_(history), run_(run), options_(options), progress_(progress),
          outcome_(outcome) {}

    // Sorts the files in order; throws the first failure, with `handled()` telling how far it came.
    void run(const std::vector<Folder::Entry>& names) {
        while (handled_ < names.size() && !outcome_.cancelled) {
            if (progress_.stopRequested()) {
                outcome_.cancelled = true;
                break;
            }
            runBatch(names);
        }
    }

    std::size_t handled() const { return handled_; }
    std::optional<FileIdentity> outputIdentity() const {
        return output_ ? std::optional(output_->identity()) : std::nullopt;
    }

private:
    struct Batch {
        std::vector<std::optional<FileFate>> unmovable; // one per file of the batch
        std::vector<History::Move> moves;               // the files to move, in order
        std::vector<History::Change> changes;
        const std::vector<Folder::Entry>* entries = nullptr;
        std::size_t first = 0; // the index in `entries` of the batch's first file
    };

    void runBatch(const std::vector<Folder::Entry>& names) {
        Batch batch = plan(names, std::min(names.size(), handled_ + kBatchFiles));
        history_.recordIntended(run_, batch.moves);
        try {
            moveBatch(batch);
        } catch (...) {
            close(batch);
            throw;
        }
        close(batch);
    }

    // A name that marks an unfinished download or a lock file, or a file open for writing, judged from
    // a look at every process's descriptors that is at most a second old.
    bool isInUse(const std::string& name, const Candidate& candidate) {
        if (FilesInUse::hasUnfinishedName(name)) {
            return true;
        }
        if (!writers_ || writers_->age() > std::chrono::seconds(1)) {
            writers_ = FilesOpenForWriting::now();
        }
        return writers_->contains(candidate.identity.device, candidate.identity.inode);
    }

    Batch plan(const std::vector<Folder::Entry>& entries, std::size_t end) {
        Batch batch{{}, {}, {}, &entries, handled_};
        for (std::size_t index = handled_; index < end; ++index) {
            const std::string& name = entries[index].name;
            const Candidate candidate = examiner_(entries[index]);
            std::optional<FileFate> unmovable = candidate.unmovable;
            if (!unmovable && isInUse(name, candidate)) {
                unmovable = FileFate::InUse; // not on record: the next sort looks at it afresh
            }
            if (!unmovable) {
                unmovable = refusal(outputVolume_, input_, name, candidate);
            }
            batch.unmovable.push_back(unmovable);
            if (!unmovable) {
                batch.moves.push_back(History::Move{0, name, namer_.nameFor(name), candidate.identity, {}});
            }
        }
        return batch;
    }

    void moveBatch(Batch& batch) {
        const auto started = std::chrono::steady_clock::now();
        for (const std::optional<FileFate>& unmovable : batch.unmovable) {
            if (progress_.stopRequested() || std::chrono::steady_clock::now() - started > kBatchTime) {
                return; // the rest waits for the next batch
            }
            const FileFate fate = unmovable ? *unmovable : move(batch.moves[batch.changes.size()], batch.changes);
            if (fate == FileFate::Cancelled) {
                outcome_.cancelled = true;
                return;
            }
            count(outcome_, fate);
            noteStayed((*batch.entries)[handled_].name, fate);
            progress_.fileDone();
            ++handled_;
        }
    }

    // Moves one file, noting in `changes` what became of it.
    FileFate move(History::Move& planned, std::vector<History::Change>& changes) {
        History::Change& change = changes.emplace_back(History::Change{planned.id, std::nullopt});
        const MoveFailure failure(planned.name, input_.path(), (outputPath_ / planned.folder).native());
        // A sub-folder removed while the file was on its way is made again, once.
        for (int attempt = 0; attempt < 2; ++attempt) {
            const SubFolders::SubFolder* subFolder = subFolderFor(planned.folder, failure);
            if (subFolder == nullptr) {
                return FileFate::FolderBlocked;
            }
            MoveControl control = progress_.controlFor(planned.name);
            // A copy to another file system is on record before it is published, so that a kill
            // before its source is removed leaves a history the next run can finish the move from.
            control.beforePublish = [this, &planned](const struct stat& copy) {
                history_.recordCopy(planned.id, FileIdentity{copy.st_dev, copy.st_ino});
            };
            MoveResult result = input_.moveNoReplace(planned.name, subFolder->folder, planned.name, control);
            if (result == MoveResult::DestinationExists) {
                result = nameTaken(planned, subFolder->folder, control);
            }
            if (result == MoveResult::Moved) {
                change.state = History::MoveState::Made;
                change.identity = identityThere(*subFolder, planned);
                if (!outputVolume_.stableInodes) {
                    change.stamp = History::FileStamp::at(subFolder->folder, planned.nameThere());
                }
                noteMoved(planned);
            }
            if (result != MoveResult::DestinationFolderGone) {
                return fateOf(result);
            }
        }
        throw failure.atDestination(ENOENT);
    }

    // A file whose name is taken in its sub-folder: said to be identical where its namesake has the
    // same size and bytes, and moved under the first free numbered name when both are to be kept.
    // Only here are contents compared: a sort of files whose names are free reads none.
    MoveResult nameTaken(History::Move& planned, const Folder& subFolder, const MoveControl& control) {
        const bool identical = sameContent(input_.fd(), planned.name, subFolder.fd(), planned.name);
        MoveResult result = MoveResult::DestinationExists;
        if (options_.onNameTaken == OnNameTaken::KeepBoth) {
            result = moveUnderFreeName(
                input_, planned.name, subFolder, control,
                [this, &planned](const std::string& candidate) { history_.recordSortedName(planned.id, candidate); },
                planned.sortedName);
            if (result != MoveResult::Moved) {
                planned.sortedName.clear();
            }
        }
        // A namesake gone with its folder, or a stop, leaves nothing to tell.
        if (identical && result != MoveResult::DestinationFolderGone && result != MoveResult::Cancelled) {
            ++outcome_.identical;
            if (options_.identical) {
                options_.identical(planned.name, planned.folder);
            }
        }
        return result;
    }

    // The sub-folder to move into, or nothing when a file (not a folder, nor a link) holds its name:
    // the files bound for it stay, and the others are sorted.
    const SubFolders::SubFolder* subFolderFor(const std::string& name, const MoveFailure& failure) {
        try {
            return &subFolders().current(name, failure);
        } catch (const FileError& error) {
            if (error.errorNumber() == ENOTDIR) {
                return nullptr;
            }
            throw;
        }
    }

    void noteStayed(const std::string& name, FileFate fate) {
        if (const std::optional<StayReason> reason = stayReasonOf(fate); reason && options_.stayed) {
            options_.stayed(name, namer_.nameFor(name), *reason);
        }
    }

    void noteMoved(const History::Move& planned) {
        if (foldersUsed_.insert(planned.folder).second) {
            outcome_.folders = static_cast<std::int64_t>(foldersUsed_.size());
        }
        if (options_.moved) {
            options_.moved(planned.name, planned.folder);
        }
        if (!planned.sortedName.empty()) {
            ++outcome_.renamed;
            if (options_.renamed) {
                options_.renamed(planned.name, planned.folder, planned.sortedName);
            }
        }
    }

    // A rename keeps the file's identity; a copy to another file system makes a new one.
    static FileIdentity identityThere(const SubFolders::SubFolder& subFolder, const History::Move& planned) {
        if (subFolder.identity.device == planned.identity.device) {
            return planned.identity;
        }
        return subFolder.folder.entryIdentityOf(planned.nameThere()).value_or(planned.identity);
    }

    // Records what became of the batch's moves: made, but for those not made or not reached, which
    // are forgotten, and those copied to another file system, which have a new identity.
    void close(Batch& batch) {
        std::vector<History::Change> exceptions;
        for (std::size_t index = 0; index < batch.moves.size(); ++index) {
            const History::Move& move = batch.moves[index];
            const History::Change* change = index < batch.changes.size() ? &batch.changes[index] : nullptr;
            if (change == nullptr || !change->state) {
                exceptions.push_back(History::Change{move.id, std::nullopt});
            } else if ((change->identity && change->identity != move.identity) || change->stamp) {
                exceptions.push_back(*change);
            }
        }
        history_.recordMade(batch.moves, exceptions);
    }

    // Opened at the first file to move, so that a sort of folders alone never needs the output.
    SubFolders& subFolders() {
        if (!subFolders_) {
            makeOutputFolder();
            const Folder& output = output_.emplace(outputPath_);
            // Copies left by a killed move across file systems are swept from each folder used.
            const bool acrossDevices = output.identity().device != input_.identity().device;
            subFolders_.emplace(output, acrossDevices, [this](const std::string& name, const FileIdentity& identity) {
                history_.recordMadeFolder(run_, name, identity);
            });
        }
        return *subFolders_;
    }

    // Made when it is missing, as a sub-folder is; the folder it goes into must be there.
    void makeOutputFolder() const {
        if (::mkdir(outputPath_.c_str(), 0777) != 0 && errno != EEXIST) {
            throw FileError::fromErrno("Could not create the folder " + FileSystem::quoted(outputPath_), errno);
        }
    }

    const Folder& input_;
    const Examiner examiner_;
    const fs::path outputPath_;
    const Volume outputVolume_;
    SubFolderNamer namer_;
    History& history_;
    const std::int64_t run_;
    const RunOptions& options_;
    ProgressReporter& progress_;
    RunOutcome& outcome_;
    std::optional<Folder> output_;
    std::optional<SubFolders> subFolders_;
    std::optional<FilesOpenForWriting> writers_;
    std::unordered_set<std::string> foldersUsed_;
    std::size_t handled_ = 0;
};

// The names ("sub-folder/name") a preview foresees a sort giving. With both files kept, a numbered
// name may go to a file of the input before the sort comes to the file that has it as its own, or the
// reverse: either finds it taken then.
using GivenNames = std::unordered_set<std::string>;

// What a sort would do with a file bound for `subFolderName`, its name taken there or not.
Plan::File previewMove(const Folder& input, const std::optional<Folder>& output, const std::string& name,
                       const std::string& subFolderName, OnNameTaken onNameTaken, GivenNames& given) {
    const auto isTaken = [&](const std::string& candidate) {
        const std::string there = subFolderName + "/" + candidate;
        return (output && output->isAnything(there)) || given.contains(there);
    };
    Plan::File file{name, subFolderName, Plan::Verdict::Move};
    if (isTaken(name)) {
        file.identical = output && sameContent(input.fd(), name, output->fd(), subFolderName + "/" + name);
        std::optional<std::string> freeName;
        if (onNameTaken == OnNameTaken::KeepBoth) {
            freeName = firstFreeName(name, isTaken);
        }
        if (!freeName) {
            file.verdict = Plan::Verdict::NameTaken;
            return file;
        }
        file.newName = std::move(*freeName);
    }
    if (onNameTaken == OnNameTaken::KeepBoth) {
        given.insert(subFolderName + "/" + (file.newName.empty() ? name : file.newName));
    }
    return file;
}

// Opens the history before anything moves: a sort is never made without its record.
std::optional<History> openHistory(const RunOptions& options, RunOutcome& outcome) {
    try {
        return std::optional<History>(std::in_place, options.historyFile);
    } catch (const FileError& error) {
        outcome.failure = error;
        return std::nullopt;
    }
}

} // namespace

RunOutcome organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories,
                         const RunOptions& options) {
    RunOutcome outcome;
    // Held until the run is recorded as finished: no other run on these folders, in any process, meanwhile.
    const std::optional<RunLock> lock =
        RunLock::forRun(input, output, RunLock::sortDescription(input, output), options, outcome);
    if (!lock) {
        return outcome;
    }
    std::optional<History> history = openHistory(options, outcome);
    if (!history) {
        return outcome;
    }
    try {
        const Folder inputFolder(input);
        finishInterruptedCopies(*history, inputFolder, output, outcome);
        const std::vector<Folder::Entry> names = candidates(inputFolder, options);
        const std::int64_t run = history->beginRun(
            RunKind::Sort, {input, output, inputFolder.identity(), Folder::identityOfPath(output)}, useSmartCategories);
        ProgressReporter progress(options, static_cast<std::int64_t>(names.size()));
        Sort sort(inputFolder, output, useSmartCategories, *history, run, options, progress, outcome);
        try {
            sort.run(names);
        } catch (const FileError& error) {
            outcome.failure = error;
        }
        outcome.notReached = static_cast<std::int64_t>(names.size() - sort.handled());
        history->finishRun(run, outcome, sort.outputIdentity());
        progress.finish();
    } catch (const FileError& error) {
        if (!outcome.failure) {
            outcome.failure = error;
        }
    }
    return outcome;
}

Plan previewSort(const fs::path& input, const fs::path& output, bool useSmartCategories, const RunOptions& options) {
    const Folder inputFolder(input);
    const std::optional<Folder> outputFolder = Folder::openIfThere(output);
    SubFolderNamer namer(useSmartCategories);
    Plan plan;
    const Examiner examiner(inputFolder);
    const Volume volume = volumeOf(output);
    const FilesOpenForWriting writers = FilesOpenForWriting::now();
    GivenNames given;
    for (const Folder::Entry& entry : candidates(inputFolder, options)) {
        const std::string& name = entry.name;
        const Candidate candidate = examiner(entry);
        if (candidate.unmovable == FileFate::NotRegular) {
            plan.files.push_back({name, namer.nameFor(name), Plan::Verdict::NotRegular});
        }
        if (candidate.unmovable) {
            continue; // folders, and files gone meanwhile, are no part of a sort
        }
        const std::string& subFolderName = namer.nameFor(name);
        if (FilesInUse::hasUnfinishedName(name) ||
            writers.contains(candidate.identity.device, candidate.identity.inode)) {
            plan.files.push_back({name, subFolderName, Plan::Verdict::InUse});
            continue;
        }
        if (const std::optional<FileFate> refused = refusal(volume, inputFolder, name, candidate)) {
            plan.files.push_back(
                {name, subFolderName,
                 refused == FileFate::TooLarge ? Plan::Verdict::TooLarge : Plan::Verdict::NameRefused});
            continue;
        }
        if (outputFolder) {
            if (const std::optional<std::string> problem = subFolderProblem(*outputFolder, subFolderName)) {
                if (!isLinkProblem(*problem)) {
                    plan.files.push_back({name, subFolderName, Plan::Verdict::FolderBlocked});
                    continue;
                }
                plan.failure =
                    MoveFailure(name, input.native(), (output / subFolderName).native()).atDestination(*problem);
                break;
            }
        }
        plan.files.push_back(previewMove(inputFolder, outputFolder, name, subFolderName, options.onNameTaken, given));
    }
    return plan;
}

void organizeFiles(const fs::path& input, const fs::path& output, bool useSmartCategories) {
    const RunOutcome outcome = organizeFiles(input, output, useSmartCategories, RunOptions{});
    if (outcome.failure) {
        throw *outcome.failure;
    }
}

} // namespace foldwise
