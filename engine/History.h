#pragma once

#include "engine/Folder.h"
#include "engine/RunKind.h"
#include "engine/RunOutcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

struct sqlite3;

namespace foldwise {
namespace fs = std::filesystem;

// The history of sorts and undos: which files each sort moved where, written ahead of the moves
// so that after a crash at any instant the history and the disk can be reconciled. An SQLite
// database, private to the user; names are stored as bytes.
class History {
public:
    // Where the user's history lives: $XDG_DATA_HOME/Foldwise/history.sqlite3.
    static fs::path defaultFile();
    // Makes `folder`, and any missing above it, readable by the user alone, as the history's folder is.
    static void makePrivateFolder(const fs::path& folder);

    // Opens (creating where needed) the history in `file`, or the user's own when it is empty.
    // Throws FileError saying what is wrong with the file and what to do when it cannot be used:
    // damaged, unwritable, from a newer Foldwise, or locked by another Foldwise for more than five
    // seconds. Any number of processes may open a history that does not exist yet at the same time.
    explicit History(const fs::path& file = {});
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    struct Folders {
        fs::path input;
        fs::path output;
        std::optional<FileIdentity> inputIdentity;
        std::optional<FileIdentity> outputIdentity;
    };
    // Records a run as running, with the process that runs it.
    std::int64_t beginRun(RunKind kind, const Folders& folders, std::optional<bool> useSmartCategories);
    void finishRun(std::int64_t run, const RunOutcome& outcome, const std::optional<FileIdentity>& outputIdentity);

    enum class MoveState { Intended = 0, Made = 1, Undone = 2, Gone = 3 };
    // A file's size and modification time: what tells it on a volume whose inode numbers do not last.
    struct FileStamp {
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;

        static FileStamp of(const struct stat& status);
        // The entry `name` of `folder`, never followed through a link; nothing when it is not there.
        static std::optional<FileStamp> at(const Folder& folder, const std::string& name);
    };
    struct Move {
        std::int64_t id = 0;
        std::string name;      // in the input folder, and in the sub-folder unless sortedName says otherwise
        std::string folder;    // the sub-folder of the output folder
        FileIdentity identity; // of the file: at its source while intended, where it went once made
        MoveState state = MoveState::Intended;
        // Set where the file, once made, is known by its place, size and time rather than its identity.
        std::optional<FileStamp> stamp{};
        // A copy to another file system that was published before its source was removed: the sort's
        // copy in the sub-folder while the move is intended, an undo's in the input folder once made.
        std::optional<FileIdentity> copy{};
        // The name a sort gave the file in the sub-folder beside a namesake; empty: its own name.
        std::string sortedName{};

        // The file's name in the sub-folder.
        const std::string& nameThere() const { return sortedName.empty() ? name : sortedName; }
    };
    // The calls that record moves throw FileError (see checkStillThere) when the history file was
    // removed or replaced since it was opened: a run then stops rather than move files on no record.

    // Records moves about to be made, in one transaction, and gives each its id.
    void recordIntended(std::int64_t run, std::vector<Move>& moves);
    // Records what became of moves, in one transaction: moves not made are forgotten.
    struct Change {
        std::int64_t id;
        std::optional<MoveState> state;         // nothing: the move was not made
        std::optional<FileIdentity> identity{}; // set where the file has a new one
        std::optional<FileStamp> stamp{};       // set where the file is known by its place
    };
    void recordChanges(const std::vector<Change>& changes);
    // Records every move of `batch` (as recorded by recordIntended, in one call) as made, but for
    // the `exceptions`, which record moves not made or made elsewhere, in one transaction.
    void recordMade(const std::vector<Move>& batch, const std::vector<Change>& exceptions);
    // Records a sub-folder of the output folder that the sort `run` has made.
    void recordMadeFolder(std::int64_t run, const std::string& name, const FileIdentity& identity);
    // Forgets a sub-folder the sort `run` made, once it is removed or no longer the one it made.
    void forgetMadeFolder(std::int64_t run, const std::string& name);
    // Records, before a copy to another file system is published, the copy's identity, so that a
    // run killed before it removed the source can be finished by the next one; and forgets it.
    void recordCopy(std::int64_t move, const FileIdentity& copy);
    void forgetCopy(std::int64_t move);
    // Records, before a move under a new name is tried, the name the file is to get in the sub-folder,
    // so that a run killed after that move leaves a record the undo can find the file by.
    void recordSortedName(std::int64_t move, const std::string& sortedName);

    // The sorts from `input` into `output` not yet wholly undone (files still on record, or
    // sub-folders they made still there), newest first.
    struct SortRun {
        std::int64_t id;
        std::int64_t movesLeft; // intended or made
    };
    std::vector<SortRun> sortsToUndo(const Folders& folders);
    // Whether an undo has undone a sort from `input` into `output`: with no sort left to undo, what tells
    // "every sort is already undone" from "no sort is on record".
    bool hasUndoneSorts(const Folders& folders);
    std::vector<Move> movesToUndo(std::int64_t run); // newest first
    // Moves of sorts from `input` into `output` whose copy to another file system was published but
    // never followed by the removal of its source: the run was killed in between.
    std::vector<Move> interruptedCopies(const Folders& folders);
    struct MadeFolder {
        std::string name;
        FileIdentity identity;
    };
    std::vector<MadeFolder> foldersMadeBy(std::int64_t run);
    // Marks a sort whose every move is undone or gone as undone by the undo `undoRun`; never one that is
    // still running.
    void markUndoneIfFinished(std::int64_t sortRun, std::int64_t undoRun);

    // A file an undo brought back into the input folder, as it was then: watches leave it alone until
    // it changes.
    struct Returned {
        std::string name;
        FileIdentity identity;
        FileStamp stamp;
    };
    void recordReturned(std::int64_t undoRun, const std::vector<Returned>& files);
    // The files that undos from `folders.output` brought back into `folders.input`.
    std::vector<Returned> returnedFiles(const Folders& folders);

    // Runs, newest first, for the command line's listing. A run still recorded as running whose process
    // has ended (killed, or stopped by a failure it could not record) is listed as "interrupted".
    struct Run {
        std::int64_t id;
        RunKind kind;
        std::int64_t startedMs;
        fs::path input;
        fs::path output;
        std::optional<bool> useSmartCategories;
        std::string state;
        RunOutcome counts;
        bool undone;
    };
    std::vector<Run> runs(std::int64_t limit);
    // The run with this id; nothing when there is none.
    std::optional<Run> run(std::int64_t id);

    // The form in which folders are recorded and compared: absolute, without "." and "..".
    static fs::path recordedPath(const fs::path& folder);

    // Throws FileError when the file at the history's path is no longer the one opened: removed, or
    // replaced by another.
    void checkStillThere() const;

    // Runs `work` in one write transaction.
    template <typename Work> void inTransaction(Work&& work) {
        execute("BEGIN IMMEDIATE");
        try {
            work();
        } catch (...) {
            execute("ROLLBACK");
            throw;
        }
        execute("COMMIT");
    }

private:
    void open();
    void switchToWal();
    void applyChanges(const std::vector<Change>& changes);
    void execute(const char* sql);
    std::int64_t userVersion();
    void migrate();
    bool isStillRunning(std::int64_t run);
    std::vector<Run> selectRuns(const char* condition, std::int64_t value);

    fs::path file_;
    sqlite3* db_ = nullptr;
    FileIdentity identity_{}; // of the file opened
};

} // namespace foldwise
