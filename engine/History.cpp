#include "engine/History.h"

#include "engine/Descriptor.h"
#include "engine/HistoryStatement.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace foldwise {

namespace {

using namespace std::chrono_literals;

constexpr int kSchemaVersion = 2;
// How long a history held by another Foldwise is waited for.
constexpr auto kBusyFor = 5s;

// Names and paths are blobs: bytes, whatever their encoding. A sort keeps each file's name, so a
// move records it once, with the sub-folder it went into.
constexpr const char* kSchema = R"(
CREATE TABLE runs (
    id INTEGER PRIMARY KEY,
    kind TEXT NOT NULL CHECK (kind IN ('sort', 'undo')),
    started INTEGER NOT NULL,
    finished INTEGER,
    input BLOB NOT NULL,
    input_device INTEGER,
    input_inode INTEGER,
    output BLOB NOT NULL,
    output_device INTEGER,
    output_inode INTEGER,
    mode TEXT CHECK (mode IN ('category', 'extension')),
    state TEXT NOT NULL DEFAULT 'running'
        CHECK (state IN ('running', 'completed', 'incomplete', 'cancelled', 'failed')),
    moved INTEGER NOT NULL DEFAULT 0,
    name_taken INTEGER NOT NULL DEFAULT 0,
    not_regular INTEGER NOT NULL DEFAULT 0,
    vanished INTEGER NOT NULL DEFAULT 0,
    not_reached INTEGER NOT NULL DEFAULT 0,
    gone INTEGER NOT NULL DEFAULT 0,
    failure TEXT,
    undone_by INTEGER REFERENCES runs (id)
);
CREATE INDEX runs_by_folders ON runs (input, output, kind);
CREATE TABLE moves (
    id INTEGER PRIMARY KEY,
    run INTEGER NOT NULL REFERENCES runs (id),
    name BLOB NOT NULL,
    folder BLOB NOT NULL,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL,
    state INTEGER NOT NULL CHECK (state BETWEEN 0 AND 3)
);
CREATE INDEX moves_by_run ON moves (run);
CREATE TABLE folders (
    run INTEGER NOT NULL REFERENCES runs (id),
    name BLOB NOT NULL,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL
);
CREATE INDEX folders_by_run ON folders (run);
)";

// Version 2: files on volumes whose inode numbers do not last are known by size and time (by_place);
// a copy published before its source was removed is recorded; runs say which process ran them; an
// undo lists the files it brought back, which watches leave alone until they change; a file moved
// under a new name beside its namesake has that name in sorted_name (NULL: its own name).
constexpr const char* kSchemaVersion2 = R"(
ALTER TABLE moves ADD COLUMN by_place INTEGER NOT NULL DEFAULT 0;
ALTER TABLE moves ADD COLUMN size INTEGER;
ALTER TABLE moves ADD COLUMN modified_ns INTEGER;
ALTER TABLE moves ADD COLUMN copy_device INTEGER;
ALTER TABLE moves ADD COLUMN copy_inode INTEGER;
ALTER TABLE moves ADD COLUMN sorted_name BLOB;
ALTER TABLE runs ADD COLUMN pid INTEGER;
ALTER TABLE runs ADD COLUMN pid_started INTEGER;
CREATE TABLE returned (
    run INTEGER NOT NULL REFERENCES runs (id),
    name BLOB NOT NULL,
    device INTEGER NOT NULL,
    inode INTEGER NOT NULL,
    size INTEGER NOT NULL,
    modified_ns INTEGER NOT NULL
);
CREATE INDEX returned_by_run ON returned (run);
)";

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// When the process `pid` started, in clock ticks after boot (field 22 of /proc/PID/stat): with the
// process id it names one process, whatever ids are used again later. Nothing when there is no such
// process.
std::optional<std::int64_t> processStart(std::int64_t pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    if (!std::getline(file, stat)) {
        return std::nullopt;
    }
    const std::size_t nameEnd = stat.rfind(')'); // the command's name may hold spaces and parentheses
    if (nameEnd == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number) {
        if (number == 22) {
            return std::stoll(field);
        }
    }
    return std::nullopt;
}

// Whether the run whose process is recorded as `pid`, started at `started`, may still be running.
bool processIsThere(const HistoryStatement& statement, int pidColumn) {
    if (statement.isNull(pidColumn)) {
        return false; // recorded before runs named their process: long over
    }
    const std::optional<std::int64_t> started = processStart(statement.integer(pidColumn));
    return started && (statement.isNull(pidColumn + 1) || *started == statement.integer(pidColumn + 1));
}

// Holds an flock on a file beside the history while the history is opened and made ready: two processes
// that open a history that does not exist yet would otherwise both create it.
class OpeningLock {
public:
    explicit OpeningLock(const fs::path& history)
        : fd_(::open((history.native() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        const auto deadline = std::chrono::steady_clock::now() + kBusyFor;
        while (fd_.isOpen() && ::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                break; // a folder without locks: the database's own locking is all there is
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                throwHistoryError(history, nullptr, SQLITE_BUSY);
            }
            std::this_thread::sleep_for(10ms);
        }
    }

private:
    Descriptor fd_;
};

void createPrivateFile(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    }
    // A file that cannot be opened here is reported by the database with its own reason.
}

// by_place, size and modified_ns.
void bindStamp(HistoryStatement& statement, int index, const std::optional<History::FileStamp>& stamp) {
    statement.bind(index, stamp ? 1 : 0);
    if (stamp) {
        statement.bind(index + 1, stamp->size).bind(index + 2, stamp->modifiedNs);
    } else {
        statement.bindNull(index + 1).bindNull(index + 2);
    }
}

void bindIdentity(HistoryStatement& statement, int index, const std::optional<FileIdentity>& identity) {
    if (identity) {
        statement.bind(index, static_cast<std::int64_t>(identity->device))
            .bind(index + 1, static_cast<std::int64_t>(identity->inode));
    } else {
        statement.bindNull(index).bindNull(index + 1);
    }
}

FileIdentity identityAt(const HistoryStatement& statement, int column) {
    return FileIdentity{static_cast<dev_t>(statement.integer(column)),
                        static_cast<ino_t>(statement.integer(column + 1))};
}

std::string stateOf(const RunOutcome& outcome) {
    if (outcome.failure) {
        return "failed";
    }
    if (outcome.cancelled) {
        return "cancelled";
    }
    return outcome.isComplete() ? "completed" : "incomplete";
}

} // namespace

History::FileStamp History::FileStamp::of(const struct stat& status) {
    return FileStamp{status.st_size, std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec};
}

std::optional<History::FileStamp> History::FileStamp::at(const Folder& folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder.fd(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return of(status);
}

fs::path History::defaultFile() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr ? home : "/") / ".local/share";
    }
    return base / "Foldwise" / "history.sqlite3";
}

void History::makePrivateFolder(const fs::path& folder) {
    if (fs::is_directory(folder)) {
        return;
    }
    if (folder.has_parent_path() && folder.parent_path() != folder) {
        makePrivateFolder(folder.parent_path());
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        const int error = errno;
        throw FileError("The history of sorts cannot be kept in " + FileSystem::quoted(folder) + " (" +
                            std::generic_category().message(error) + "). Check that you may write there.",
                        error);
    }
}

fs::path History::recordedPath(const fs::path& folder) {
    fs::path path = fs::absolute(folder).lexically_normal();
    if (!path.has_filename() && path.has_relative_path()) {
        path = path.parent_path(); // no trailing slash
    }
    return path;
}

History::History(const fs::path& file) : file_(file.empty() ? defaultFile() : file) {
    makePrivateFolder(file_.parent_path());
    const OpeningLock opening(file_);
    createPrivateFile(file_);
    open();
    try {
        sqlite3_busy_timeout(db_, static_cast<int>(std::chrono::milliseconds(kBusyFor).count()));
        switchToWal();
        // Each commit reaches the operating system before the moves it announces are made, which
        // is what a killed process needs; a power loss may cost the last commits, never the file.
        execute("PRAGMA synchronous = NORMAL");
        execute("PRAGMA foreign_keys = ON");
        migrate();
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

void History::open() {
    const int code = sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    struct stat status {};
    if (code != SQLITE_OK || ::stat(file_.c_str(), &status) != 0) {
        sqlite3_close(db_);
        db_ = nullptr;
        throwHistoryError(file_, nullptr, code != SQLITE_OK ? code : SQLITE_CANTOPEN);
    }
    identity_ = FileIdentity{status.st_dev, status.st_ino};
}

// Switching to WAL takes the database's exclusive lock, and a refusal is not waited for by the busy
// timeout: it is tried again here for as long.
void History::switchToWal() {
    const auto deadline = std::chrono::steady_clock::now() + kBusyFor;
    for (;;) {
        const int code = sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        if (code == SQLITE_OK) {
            return;
        }
        if ((code & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() >= deadline) {
            throwHistoryError(file_, db_, code);
        }
        std::this_thread::sleep_for(10ms);
    }
}

void History::checkStillThere() const {
    struct stat status {};
    if (::stat(file_.c_str(), &status) != 0 || FileIdentity{status.st_dev, status.st_ino} != identity_) {
        throw FileError("The history of sorts " + FileSystem::quoted(file_) +
                        " was removed or replaced while Foldwise was using it; the run stopped so that no move "
                        "goes unrecorded.");
    }
}

History::~History() {
    sqlite3_close(db_);
}

void History::execute(const char* sql) {
    char* message = nullptr;
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    if (code != SQLITE_OK) {
        throwHistoryError(file_, db_, code);
    }
}

std::int64_t History::userVersion() {
    HistoryStatement version(db_, file_, "PRAGMA user_version");
    version.step();
    const std::int64_t found = version.integer(0);
    if (found > kSchemaVersion) {
        throw FileError("The history of sorts " + FileSystem::quoted(file_) +
                        " was written by a newer Foldwise (version " + std::to_string(found) +
                        "). Use that Foldwise, or move the file aside to start a new history.");
    }
    return found;
}

void History::migrate() {
    if (userVersion() == kSchemaVersion) {
        return;
    }
    inTransaction([&] {
        const std::int64_t found = userVersion(); // again, now that no other Foldwise can change it
        if (found < 1) {
            execute(kSchema);
        }
        if (found < 2) {
            execute(kSchemaVersion2);
        }
        execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    });
}

std::int64_t History::beginRun(RunKind kind, const Folders& folders, std::optional<bool> useSmartCategories) {
    HistoryStatement insert(db_, file_,
                            "INSERT INTO runs (kind, started, input, input_device, input_inode, output, "
                            "output_device, output_inode, mode, pid, pid_started) "
                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.bindText(1, runKindKey(kind)).bind(2, nowMs());
    insert.bindBytes(3, recordedPath(folders.input).native());
    bindIdentity(insert, 4, folders.inputIdentity);
    insert.bindBytes(6, recordedPath(folders.output).native());
    bindIdentity(insert, 7, folders.outputIdentity);
    if (useSmartCategories) {
        insert.bindText(9, *useSmartCategories ? "category" : "extension");
    }
    const pid_t self = ::getpid(); // not kept: a forked child runs as itself
    insert.bind(10, self);
    if (const std::optional<std::int64_t> started = processStart(self)) {
        insert.bind(11, *started);
    }
    insert.run();
    return sqlite3_last_insert_rowid(db_);
}

void History::finishRun(std::int64_t run, const RunOutcome& outcome,
                        const std::optional<FileIdentity>& outputIdentity) {
    HistoryStatement update(db_, file_,
                            "UPDATE runs SET finished = ?, state = ?, moved = ?, name_taken = ?, not_regular = ?, "
                            "vanished = ?, not_reached = ?, gone = ?, failure = ?, "
                            "output_device = coalesce(?, output_device), output_inode = coalesce(?, output_inode) "
                            "WHERE id = ?");
    update.bind(1, nowMs()).bindText(2, stateOf(outcome)).bind(3, outcome.moved).bind(4, outcome.nameTaken);
    update.bind(5, outcome.notRegular).bind(6, outcome.vanished).bind(7, outcome.notReached).bind(8, outcome.gone);
    if (outcome.failure) {
        update.bindText(9, outcome.failure->localizedDescription());
    }
    bindIdentity(update, 10, outputIdentity);
    update.bind(12, run).run();
}

void History::recordIntended(std::int64_t run, std::vector<Move>& moves) {
    checkStillThere();
    inTransaction([&] {
        HistoryStatement insert(db_, file_,
                                "INSERT INTO moves (run, name, folder, device, inode, state, by_place, size, "
                                "modified_ns) VALUES (?, ?, ?, ?, ?, 0, ?, ?, ?)");
        for (Move& move : moves) {
            insert.bind(1, run).bindBytes(2, move.name).bindBytes(3, move.folder);
            bindIdentity(insert, 4, move.identity);
            bindStamp(insert, 6, move.stamp);
            insert.run();
            move.id = sqlite3_last_insert_rowid(db_);
        }
    });
}

void History::recordMade(const std::vector<Move>& batch, const std::vector<Change>& exceptions) {
    checkStillThere();
    if (batch.empty()) {
        return;
    }
    inTransaction([&] {
        applyChanges(exceptions);
        HistoryStatement made(db_, file_,
                              "UPDATE moves SET state = 1, copy_device = NULL, copy_inode = NULL "
                              "WHERE id BETWEEN ? AND ? AND state = 0");
        made.bind(1, batch.front().id).bind(2, batch.back().id).run();
    });
}

void History::recordChanges(const std::vector<Change>& changes) {
    checkStillThere();
    if (!changes.empty()) {
        inTransaction([&] { applyChanges(changes); });
    }
}

namespace {

// How many changes from `first` on set the same state on a run of ids counting up or down by one.
std::size_t rangeLength(const std::vector<History::Change>& changes, std::size_t first) {
    const auto joins = [&](std::size_t next, std::int64_t step) {
        return next < changes.size() && changes[next].state == changes[first].state && !changes[next].identity &&
               changes[next].id - changes[next - 1].id == step;
    };
    if (!joins(first + 1, 1) && !joins(first + 1, -1)) {
        return 1;
    }
    const std::int64_t step = changes[first + 1].id - changes[first].id;
    std::size_t next = first + 1;
    while (joins(next, step)) {
        ++next;
    }
    return next - first;
}

} // namespace

// Consecutive moves that reach the same state take one statement: an undo reverses a sort's moves
// in the order they were recorded, so most of a batch is one range.
void History::applyChanges(const std::vector<Change>& changes) {
    HistoryStatement moved(db_, file_,
                           "UPDATE moves SET state = ?, device = ?, inode = ?, by_place = ?, size = ?, "
                           "modified_ns = ?, copy_device = NULL, copy_inode = NULL WHERE id = ?");
    HistoryStatement changed(db_, file_,
                             "UPDATE moves SET state = ?, copy_device = NULL, copy_inode = NULL "
                             "WHERE id BETWEEN ? AND ?");
    HistoryStatement forget(db_, file_, "DELETE FROM moves WHERE id = ?");
    for (std::size_t first = 0; first < changes.size();) {
        const Change& change = changes[first];
        std::size_t length = 1;
        if (!change.state) {
            forget.bind(1, change.id).run();
        } else if (change.identity) {
            moved.bind(1, static_cast<std::int64_t>(*change.state));
            bindIdentity(moved, 2, change.identity);
            bindStamp(moved, 4, change.stamp);
            moved.bind(7, change.id).run();
        } else {
            length = rangeLength(changes, first);
            const std::int64_t lastId = changes[first + length - 1].id;
            changed.bind(1, static_cast<std::int64_t>(*change.state))
                .bind(2, std::min(change.id, lastId))
                .bind(3, std::max(change.id, lastId))
                .run();
        }
        first += length;
    }
}

void History::recordMadeFolder(std::int64_t run, const std::string& name, const FileIdentity& identity) {
    HistoryStatement insert(db_, file_, "INSERT INTO folders (run, name, device, inode) VALUES (?, ?, ?, ?)");
    insert.bind(1, run).bindBytes(2, name);
    bindIdentity(insert, 3, identity);
    insert.run();
}

void History::forgetMadeFolder(std::int64_t run, const std::string& name) {
    HistoryStatement remove(db_, file_, "DELETE FROM folders WHERE run = ? AND name = ?");
    remove.bind(1, run).bindBytes(2, name).run();
}

void History::recordCopy(std::int64_t move, const FileIdentity& copy) {
    HistoryStatement update(db_, file_, "UPDATE moves SET copy_device = ?, copy_inode = ? WHERE id = ?");
    bindIdentity(update, 1, copy);
    update.bind(3, move).run();
}

void History::forgetCopy(std::int64_t move) {
    HistoryStatement update(db_, file_, "UPDATE moves SET copy_device = NULL, copy_inode = NULL WHERE id = ?");
    update.bind(1, move).run();
}

void History::recordSortedName(std::int64_t move, const std::string& sortedName) {
    checkStillThere();
    HistoryStatement update(db_, file_, "UPDATE moves SET sorted_name = ? WHERE id = ?");
    update.bindBytes(1, sortedName).bind(2, move).run();
}

std::vector<History::SortRun> History::sortsToUndo(const Folders& folders) {
    HistoryStatement select(db_, file_,
                            "SELECT id, (SELECT count(*) FROM moves WHERE moves.run = runs.id AND state IN (0, 1)) "
                            "FROM runs WHERE kind = 'sort' AND undone_by IS NULL AND input = ? AND output = ? "
                            "AND (EXISTS (SELECT 1 FROM moves WHERE moves.run = runs.id AND state IN (0, 1)) "
                            "OR EXISTS (SELECT 1 FROM folders WHERE folders.run = runs.id)) "
                            "ORDER BY id DESC");
    select.bindBytes(1, recordedPath(folders.input).native()).bindBytes(2, recordedPath(folders.output).native());
    std::vector<SortRun> sorts;
    while (select.step()) {
        sorts.push_back(SortRun{select.integer(0), select.integer(1)});
    }
    return sorts;
}

bool History::hasUndoneSorts(const Folders& folders) {
    HistoryStatement select(db_, file_,
                            "SELECT 1 FROM runs WHERE kind = 'sort' AND undone_by IS NOT NULL AND input = ? AND "
                            "output = ? LIMIT 1");
    select.bindBytes(1, recordedPath(folders.input).native()).bindBytes(2, recordedPath(folders.output).native());
    return select.step();
}

std::vector<History::Move> History::movesToUndo(std::int64_t run) {
    HistoryStatement select(db_, file_,
                            "SELECT id, name, folder, device, inode, state, by_place, size, modified_ns, copy_device, "
                            "copy_inode, sorted_name FROM moves WHERE run = ? AND state IN (0, 1) ORDER BY id DESC");
    select.bind(1, run);
    std::vector<Move> moves;
    while (select.step()) {
        Move& move = moves.emplace_back(Move{select.integer(0), select.bytes(1), select.bytes(2), identityAt(select, 3),
                                             static_cast<MoveState>(select.integer(5))});
        if (select.integer(6) != 0) {
            move.stamp = FileStamp{select.integer(7), select.integer(8)};
        }
        if (!select.isNull(9)) {
            move.copy = identityAt(select, 9);
        }
        if (!select.isNull(11)) {
            move.sortedName = select.bytes(11);
        }
    }
    return moves;
}

std::vector<History::Move> History::interruptedCopies(const Folders& folders) {
    HistoryStatement select(db_, file_,
                            "SELECT moves.id, name, folder, moves.device, moves.inode, copy_device, copy_inode, "
                            "sorted_name FROM moves JOIN runs ON runs.id = moves.run WHERE runs.kind = 'sort' AND "
                            "runs.input = ? AND runs.output = ? AND moves.state = 0 AND copy_device IS NOT NULL");
    select.bindBytes(1, recordedPath(folders.input).native()).bindBytes(2, recordedPath(folders.output).native());
    std::vector<Move> moves;
    while (select.step()) {
        Move& move =
            moves.emplace_back(Move{select.integer(0), select.bytes(1), select.bytes(2), identityAt(select, 3)});
        move.copy = identityAt(select, 5);
        if (!select.isNull(7)) {
            move.sortedName = select.bytes(7);
        }
    }
    return moves;
}

std::vector<History::MadeFolder> History::foldersMadeBy(std::int64_t run) {
    HistoryStatement select(db_, file_, "SELECT name, device, inode FROM folders WHERE run = ?");
    select.bind(1, run);
    std::vector<MadeFolder> folders;
    while (select.step()) {
        folders.push_back(MadeFolder{select.bytes(0), identityAt(select, 1)});
    }
    return folders;
}

bool History::isStillRunning(std::int64_t run) {
    HistoryStatement select(db_, file_, "SELECT state = 'running', pid, pid_started FROM runs WHERE id = ?");
    select.bind(1, run);
    return select.step() && select.integer(0) != 0 && processIsThere(select, 1);
}

void History::markUndoneIfFinished(std::int64_t sortRun, std::int64_t undoRun) {
    if (isStillRunning(sortRun)) {
        return; // its next moves would be on the record of a sort said to be undone
    }
    HistoryStatement update(db_, file_,
                            "UPDATE runs SET undone_by = ? WHERE id = ? AND NOT EXISTS "
                            "(SELECT 1 FROM moves WHERE run = ? AND state IN (0, 1))");
    update.bind(1, undoRun).bind(2, sortRun).bind(3, sortRun).run();
}

std::vector<History::Run> History::runs(std::int64_t limit) {
    return selectRuns("1 = 1 ORDER BY id DESC LIMIT ?", limit);
}

std::optional<History::Run> History::run(std::int64_t id) {
    std::vector<Run> found = selectRuns("id = ?", id);
    return found.empty() ? std::nullopt : std::optional<Run>(std::move(found.front()));
}

std::vector<History::Run> History::selectRuns(const char* condition, std::int64_t value) {
    const std::string sql = std::string("SELECT id, kind, started, input, output, mode, state, moved, name_taken, "
                                        "not_regular, vanished, not_reached, gone, failure, undone_by IS NOT NULL, "
                                        "pid, pid_started FROM runs WHERE ") +
                            condition;
    HistoryStatement select(db_, file_, sql);
    select.bind(1, value);
    std::vector<Run> runs;
    while (select.step()) {
        Run run{select.integer(0),      runKindFromKey(select.bytes(1)).value_or(RunKind::Undo),
                select.integer(2),      select.bytes(3),
                select.bytes(4),        std::nullopt,
                select.bytes(6),        RunOutcome{},
                select.integer(14) != 0};
        if (!select.isNull(5)) {
            run.useSmartCategories = select.bytes(5) == "category";
        }
        if (run.state == "running" && !processIsThere(select, 15)) {
            run.state = "interrupted";
        }
        run.counts.moved = select.integer(7);
        run.counts.nameTaken = select.integer(8);
        run.counts.notRegular = select.integer(9);
        run.counts.vanished = select.integer(10);
        run.counts.notReached = select.integer(11);
        run.counts.gone = select.integer(12);
        if (!select.isNull(13)) {
            run.counts.failure = FileError(select.bytes(13));
        }
        runs.push_back(std::move(run));
    }
    return runs;
}

void History::recordReturned(std::int64_t undoRun, const std::vector<Returned>& files) {
    if (files.empty()) {
        return;
    }
    inTransaction([&] {
        HistoryStatement insert(db_, file_,
                                "INSERT INTO returned (run, name, device, inode, size, modified_ns) "
                                "VALUES (?, ?, ?, ?, ?, ?)");
        for (const Returned& file : files) {
            insert.bind(1, undoRun).bindBytes(2, file.name);
            bindIdentity(insert, 3, file.identity);
            insert.bind(5, file.stamp.size).bind(6, file.stamp.modifiedNs).run();
        }
    });
}

std::vector<History::Returned> History::returnedFiles(const Folders& folders) {
    HistoryStatement select(db_, file_,
                            "SELECT returned.name, returned.device, returned.inode, returned.size, "
                            "returned.modified_ns FROM returned JOIN runs ON runs.id = returned.run "
                            "WHERE runs.kind = 'undo' AND runs.input = ? AND runs.output = ?");
    select.bindBytes(1, recordedPath(folders.input).native()).bindBytes(2, recordedPath(folders.output).native());
    std::vector<Returned> files;
    while (select.step()) {
        files.push_back(
            Returned{select.bytes(0), identityAt(select, 1), FileStamp{select.integer(3), select.integer(4)}});
    }
    return files;
}

} // namespace foldwise
