#include "engine/History.h"
#include "engine/Organizer.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace foldwise {
namespace {

using namespace test;

class History : public InputOutputFolders {
protected:
    foldwise::History::Folders folders() const { return {input, output, std::nullopt, std::nullopt}; }

    // The moves on record, read apart from any History.
    std::int64_t recordedMoves() const {
        sqlite3* db = nullptr;
        sqlite3_stmt* statement = nullptr;
        sqlite3_open_v2(history.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(db, "SELECT count(*) FROM moves", -1, &statement, nullptr);
        const std::int64_t count = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return count;
    }
};

TEST_F(History, ProcessesThatOpenAHistoryNotYetMadeAllAtOnceAllSucceed) {
    for (int round = 0; round < 5; ++round) {
        const fs::path file = root / ("history" + std::to_string(round) + ".sqlite3");
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> children;
        std::fflush(nullptr);
        for (int child = 0; child < 8; ++child) {
            children.push_back(::fork());
            if (children.back() == 0) {
                ::close(start[1]);
                char byte = 0;
                [[maybe_unused]] const ssize_t ended = ::read(start[0], &byte, 1); // until the test lets all go
                try {
                    foldwise::History(file).runs(1);
                } catch (const FileError& error) {
                    std::fprintf(stderr, "%s\n", error.what());
                    ::_exit(1);
                }
                ::_exit(0);
            }
        }
        ::close(start[0]);
        ::close(start[1]);
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
    }
}

class HistoryGoesDuringASort : public History, public ::testing::WithParamInterface<bool> {};

TEST_P(HistoryGoesDuringASort, StopsTheSortWithNoMoveOffTheRecord) {
    for (int index = 0; index < 3000; ++index) { // three batches at least: the history goes after the first
        writeFile(input / ("file" + std::to_string(index) + ".txt"), "x");
    }
    std::int64_t recorded = -1;
    RunOptions options;
    options.progress = [&](const RunProgress&) {
        if (recorded < 0) {
            recorded = recordedMoves();
            if (GetParam()) {
                foldwise::History(root / "other.sqlite3");
                fs::rename(root / "other.sqlite3", history);
            } else {
                fs::remove(history);
            }
        }
    };

    const RunOutcome outcome = organizeFiles(input, output, false, options);

    ASSERT_TRUE(outcome.failure);
    EXPECT_EQ(outcome.failure->localizedDescription(),
              "The history of sorts “" + history.string() +
                  "” was removed or replaced while Foldwise was using it; the run stopped so that no move goes "
                  "unrecorded.");
    EXPECT_GT(recorded, 0);
    EXPECT_LE(static_cast<std::int64_t>(treeOf(output / "txt").size()), recorded);
    EXPECT_LE(outcome.moved, recorded);
}

INSTANTIATE_TEST_SUITE_P(RemovedOrReplaced, HistoryGoesDuringASort, ::testing::Bool());

// A run is interrupted once its process id has gone to a process started at another time (the command
// line's history test kills a run's process); a sort still running is never marked undone.
TEST_F(History, RunsWhoseProcessEndedAreInterruptedAndRunningOnesAreNeverMarkedUndone) {
    foldwise::History opened(history);
    const std::int64_t running = opened.beginRun(foldwise::RunKind::Sort, folders(), true);
    opened.markUndoneIfFinished(running, opened.beginRun(foldwise::RunKind::Undo, folders(), std::nullopt));
    const std::int64_t reused = opened.beginRun(foldwise::RunKind::Sort, folders(), true);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(history.c_str(), &db), SQLITE_OK);
    const std::string sql = "UPDATE runs SET pid_started = pid_started + 1 WHERE id = " + std::to_string(reused);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    const std::vector<foldwise::History::Run> runs = opened.runs(10);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].state, "interrupted");
    EXPECT_EQ(runs[1].state, "running") << "the undo itself";
    EXPECT_EQ(runs[2].state, "running");
    EXPECT_FALSE(runs[2].undone) << "a sort still running is never undone";
}

// The files an undo brought back are found for its own folders alone, however they are spelt.
TEST_F(History, KeepsTheFilesAnUndoBroughtBackForItsOwnFoldersOnly) {
    foldwise::History opened(history);
    const std::vector<foldwise::History::Returned> returned{{"b\xff.jpg", {5, 6}, {7, 8}}};
    opened.recordReturned(opened.beginRun(RunKind::Undo, folders(), std::nullopt), returned);
    opened.recordReturned(opened.beginRun(RunKind::Undo, {input, root / "other", std::nullopt, std::nullopt}, {}),
                          {{"c.txt", {1, 2}, {3, 4}}});

    const auto found = opened.returnedFiles({input / ".", output, std::nullopt, std::nullopt});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, returned[0].name);
    EXPECT_EQ(found[0].identity, returned[0].identity);
    EXPECT_EQ(found[0].stamp, returned[0].stamp);
}

} // namespace
} // namespace foldwise
