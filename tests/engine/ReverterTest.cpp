#include "engine/Reverter.h"
#include "engine/FileError.h"
#include "engine/History.h"
#include "engine/Organizer.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/InChild.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace foldwise {
namespace {

using namespace test;

class Reverter : public test::InputOutputFolders {};

class RevertAfterSort : public Reverter, public ::testing::WithParamInterface<bool> {};

// Every file comes back, the sub-folders the sort made go, and the user's own folders and files stay.
TEST_P(RevertAfterSort, ReturnsEveryFileAndRemovesOnlyTheSubFoldersItMade) {
    const std::string notUtf8 = "r\xe9sum\xe9.PDF";
    addFiles({"Photo.JPG", "README", "a.tar.gz", notUtf8.c_str()});
    const auto before = treeOf(input);
    writeFile(makeFolder(output / "Taxes/2022") / "return.pdf", "mine");
    writeFile(makeFolder(output / "Documents") / "mine.txt", "mine");
    writeFile(makeFolder(output / "Empty") / "../loose.txt", "mine");
    const auto usersOwn = treeOf(output);

    organizeFiles(input, output, GetParam());
    EXPECT_EQ(fs::status(history.parent_path()).permissions(), fs::perms::owner_all) << "the history is private";
    EXPECT_EQ(fs::status(history).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const RunOutcome outcome = revertFiles(input, output, {});

    EXPECT_TRUE(outcome.isComplete());
    EXPECT_EQ(outcome.moved, 4);
    EXPECT_EQ(treeOf(input), before);
    EXPECT_EQ(readFile(input / notUtf8), notUtf8);
    EXPECT_EQ(treeOf(output), usersOwn);
}

INSTANTIATE_TEST_SUITE_P(BothModes, RevertAfterSort, ::testing::Bool());

// Folders a sort makes get the modes the user's umask gives any new folder.
TEST_F(Reverter, MakesFoldersAsTheUmaskSays) {
    addFiles({"notes.txt"});
    for (const ::mode_t mask : {022, 077}) {
        SCOPED_TRACE(mask);
        const fs::path made = root / ("made-" + std::to_string(mask));
        const ::mode_t before = ::umask(mask);
        organizeFiles(input, made, true);
        ::umask(before);
        for (const fs::path& folder : {made, made / "Documents"}) {
            EXPECT_EQ(fs::status(folder).permissions(), static_cast<fs::perms>(0777 & ~mask)) << folder;
        }
        revertFiles(input, made);
    }
}

// An undo takes back the file the sort moved, not another that has its name since: on this disk the
// file is known by its inode, whatever its size and time.
TEST_F(Reverter, LeavesAFileThatOnlySharesTheNameOfTheOneTheSortMoved) {
    addFiles({"a.txt", "b.txt"});
    organizeFiles(input, output, true);
    const fs::path sorted = output / "Documents/a.txt";
    struct stat original {};
    ASSERT_EQ(::stat(sorted.c_str(), &original), 0);
    fs::rename(sorted, root / "a.txt kept elsewhere"); // still there, so its inode cannot be reused
    writeFile(sorted, "a.txt");                        // the same name, size and time, another file
    const timespec times[2] = {original.st_atim, original.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, sorted.c_str(), times, 0), 0);

    const RunOutcome outcome = revertFiles(input, output, {});

    EXPECT_EQ(outcome.moved, 1);
    EXPECT_EQ(outcome.gone, 1);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"b.txt"}));
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"Documents/", "Documents/a.txt"}));
}

// A folder the user made in place of one the sort made is theirs: undo leaves it. (Made while the sort's
// folder still exists, so that it cannot take over its inode number.)
TEST_F(Reverter, LeavesAFolderTheUserMadeInPlaceOfTheSorts) {
    addFiles({"b.png"});
    organizeFiles(input, output, true);
    fs::rename(output / "Images/b.png", input / "b.png");
    fs::rename(output / "Images", root / "Images of the sort");
    fs::create_directory(output / "Images");
    fs::remove(root / "Images of the sort");
    revertFiles(input, output, {});
    EXPECT_TRUE(fs::is_directory(output / "Images"));
}

// Sorted into the input folder itself, or into a folder inside it: the user's folders there are neither
// sorted nor touched by the undo.
TEST_F(Reverter, SortsIntoTheInputFolderItselfAndUndoesThatAlone) {
    fs::create_directories(input / "Thesis/figures");
    writeFile(input / "Thesis/figures/plot.png", "mine");
    addFiles({"notes.txt", "photo.jpg"});
    const auto before = treeOf(input);

    organizeFiles(input, input, false);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"Thesis/", "Thesis/figures/", "Thesis/figures/plot.png", "txt/",
                                                    "txt/notes.txt", "jpg/", "jpg/photo.jpg"}));
    EXPECT_EQ(revertFiles(input, input, {}).moved, 2);
    EXPECT_EQ(treeOf(input), before);
}

// Undoing one chosen sort brings back its files alone, even while a newer sort of the same folders is on
// record, and never over a file of that newer sort.
TEST_F(Reverter, UndoesOneChosenSortAlone) {
    addFiles({"a.txt", "b.txt"});
    organizeFiles(input, output, false);
    writeFile(input / "a.txt", "a newer a");
    addFiles({"c.txt"});
    organizeFiles(input, output, false); // the newer a stays: its name is taken in txt
    const std::int64_t older = History(history).runs(2).back().id;
    RunOptions onlyOlder;
    onlyOlder.onlySort = older;

    const RunOutcome outcome = revertFiles(input, output, onlyOlder);

    EXPECT_EQ(outcome.moved, 1);
    EXPECT_EQ(outcome.nameTaken, 1);
    EXPECT_EQ(readFile(input / "a.txt"), "a newer a");
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"txt/", "txt/a.txt", "txt/c.txt"}));
    onlyOlder.onlySort = older + 100;
    EXPECT_TRUE(revertFiles(input, output, onlyOlder).nothingOnRecord) << "no such sort of these folders";
}

// An undo stopped after its first file: what moved back stays, the rest is counted, and the sort is not
// undone yet, so that the next undo finishes the work. (The window's tests stop sorts and undos halfway.)
TEST_F(Reverter, AnUndoStoppedBetweenFilesIsFinishedByTheNext) {
    addFiles({"a.txt", "b.txt", "c.txt", "d.txt"});
    const auto files = treeOf(input);
    organizeFiles(input, output, false);
    std::stop_source stop;
    RunOptions options;
    options.stop = stop.get_token();
    options.progress = [&](const RunProgress&) {
        stop.request_stop();
    };

    const RunOutcome stopped = revertFiles(input, output, options);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.moved, 1);
    EXPECT_EQ(stopped.notReached, 3);
    const RunOutcome outcome = revertFiles(input, output, {});
    EXPECT_TRUE(outcome.isComplete());
    EXPECT_EQ(outcome.moved, 3);
    EXPECT_EQ(treeOf(input), files);
    EXPECT_TRUE(treeOf(output).empty());
}

// A sort stopped during its first copy to another drive moved nothing but made a sub-folder: that sort
// stays undoable, and the undo removes the folder.
TEST_F(Reverter, ASortThatOnlyMadeAFolderIsUndone) {
    const TempFolder otherDrive("/dev/shm");
    writeFile(input / "film.mkv", std::string(16 << 20, 'f'));
    std::stop_source stop;
    RunOptions options;
    options.stop = stop.get_token();
    options.progress = [&](const RunProgress& progress) {
        if (!progress.copyingFile.empty()) {
            stop.request_stop();
        }
    };
    const RunOutcome stopped = organizeFiles(input, otherDrive.path(), true, options);
    ASSERT_TRUE(stopped.cancelled);
    ASSERT_EQ(stopped.moved, 0);
    ASSERT_EQ(treeOf(otherDrive.path()), std::set<std::string>{"Video/"});

    const RunOutcome undone = revertFiles(input, otherDrive.path(), {});
    EXPECT_FALSE(undone.nothingOnRecord);
    EXPECT_TRUE(treeOf(otherDrive.path()).empty());
    EXPECT_TRUE(revertFiles(input, otherDrive.path(), {}).nothingOnRecord);
}

// A sort killed at some instant, then undone: every file is back under its name exactly once.
class KilledSort : public Reverter {
protected:
    // Kills the sort at the first report `killAt` picks, or else `afterMs` after it started.
    void sortAndKill(const std::function<bool(const RunProgress&)>& killAt, int afterMs = -1) {
        const pid_t child = ::fork();
        if (child == 0) {
            RunOptions options;
            options.progress = [&](const RunProgress& progress) {
                if (killAt && killAt(progress)) {
                    ::raise(SIGKILL);
                }
            };
            organizeFiles(input, output, false, options);
            ::_exit(0);
        }
        if (afterMs >= 0) {
            ::usleep(static_cast<useconds_t>(afterMs) * 1000);
            ::kill(child, SIGKILL);
        }
        ::waitpid(child, nullptr, 0);
    }

    void expectEveryFileBackOnce() {
        const RunOutcome outcome = revertFiles(input, output, {});
        EXPECT_FALSE(outcome.failure) << outcome.failure->localizedDescription();
        EXPECT_EQ(treeOf(input), expected_);
        for (const std::string& name : expected_) { // each begins with its name: only that much is read
            std::string start(name.size(), '\0');
            std::ifstream(input / name).read(start.data(), static_cast<std::streamsize>(start.size()));
            EXPECT_EQ(start, name);
        }
        // A kill between making a sub-folder and recording it leaves that folder, empty: nothing else stays.
        for (const std::string& left : treeOf(output)) {
            EXPECT_TRUE(left.ends_with('/') && fs::is_empty(output / left)) << left;
        }
    }

    void makeFiles(int count) {
        for (int index = 0; index < count; ++index) {
            const std::string name = "file-" + std::to_string(index) + (index % 2 ? ".txt" : ".jpg");
            writeFile(input / name, name);
            expected_.insert(name);
        }
    }

    std::set<std::string> expected_;
};

TEST_F(KilledSort, AfterItAnnouncedItsMovesOrAtAnyMoment) {
    makeFiles(3000);
    sortAndKill([](const RunProgress&) { return true; });
    EXPECT_LT(treeOf(input).size(), 3000u) << "the first file moved before the kill";
    expectEveryFileBackOnce();

    for (int afterMs : {1, 4, 12}) {
        sortAndKill({}, afterMs);
        expectEveryFileBackOnce();
    }
}

TEST_F(KilledSort, InTheMiddleOfACopyToAnotherFileSystem) {
    const TempFolder memory("/dev/shm");
    input = makeFolder(memory / "in"); // the big file is written and read back in memory, not on the disk
    makeFiles(5);
    std::ofstream big(input / *expected_.insert("big.mkv").first, std::ios::binary);
    big << "big.mkv";
    for (const std::string mebibyte(1 << 20, 'v'); big.tellp() < (256 << 20);) {
        big << mebibyte; // a mebibyte at a time: one string of it all costs seconds on a busy machine
    }
    big.close();
    sortAndKill([](const RunProgress& progress) { return !progress.copyingFile.empty(); });
    EXPECT_TRUE(fs::exists(input / "big.mkv")) << "killed before its copy was done";
    expectEveryFileBackOnce();
}

// A history that is damaged, cannot be written or was written by a newer Foldwise refuses every run before
// anything moves, and says which file and why.
TEST_F(Reverter, ABrokenHistoryRefusesBeforeAnythingMoves) {
    const std::vector<std::pair<std::function<void()>, std::string>> cases{
        {[&] { writeFile(history, std::string(4096, 'x')); }, "is damaged"},
        {[&] { fs::create_directory(history); }, "cannot be written"},
        {[&] {
             foldwise::History{history};
             sqlite3* database = nullptr;
             sqlite3_open(history.c_str(), &database);
             EXPECT_EQ(sqlite3_exec(database, "PRAGMA user_version = 7", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(database);
         },
         "was written by a newer Foldwise"},
    };
    addFiles({"a.txt"});
    for (const auto& [breakIt, problem] : cases) {
        fs::remove_all(history.parent_path());
        fs::create_directories(history.parent_path());
        breakIt();
        const RunOutcome sort = organizeFiles(input, output, false, {});
        ASSERT_TRUE(sort.failure) << problem;
        const std::string& text = sort.failure->localizedDescription();
        EXPECT_NE(text.find(problem), std::string::npos) << text;
        EXPECT_NE(text.find(history.string()), std::string::npos) << text;
        EXPECT_EQ(treeOf(input), std::set<std::string>{"a.txt"});
        EXPECT_TRUE(treeOf(output).empty());
        EXPECT_TRUE(revertFiles(input, output, {}).failure);
    }
}

TEST_F(Reverter, FailsClearlyWhenAMoveBackIsRefused) {
    addFiles({"a.txt"});
    fs::create_directories(history.parent_path());
    openToNobody(root.path());
    for (const fs::path& folder : {input, output, root / "data", history.parent_path()}) {
        ::chown(folder.c_str(), 65534, 65534);
    }
    const bool ran = ranInChild(becomeNobody, [&] { EXPECT_EQ(organizeFiles(input, output, false, {}).moved, 1); });
    if (!ran) {
        GTEST_SKIP() << "needs root to run as nobody";
    }
    ::chown(input.c_str(), 0, 0); // the input folder is no longer nobody's to write into
    ranInChild(becomeNobody, [&] {
        const RunOutcome outcome = revertFiles(input, output, {});
        ASSERT_TRUE(outcome.failure);
        EXPECT_EQ(outcome.failure->localizedDescription(),
                  "Could not move “a.txt” to “" + input.string() + "”: Permission denied");
    });
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"txt/", "txt/a.txt"}));
}

} // namespace
} // namespace foldwise
