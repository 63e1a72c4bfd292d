#include "engine/History.h"
#include "engine/Organizer.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

#include <csignal>
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
    // What `sql` answers in the history file, read apart from any History.
    std::int64_t query(const std::string& sql) const {
        sqlite3* db = nullptr;
        std::int64_t answer = -1;
        if (sqlite3_open_v2(history.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
            sqlite3_exec(
                db, sql.c_str(),
                [](void* found, int, char** values, char**) {
                    *static_cast<std::int64_t*>(found) = std::stoll(values[0]);
                    return 0;
                },
                &answer, nullptr);
        }
        sqlite3_close(db);
        return answer;
    }

    foldwise::History::Folders folders() const { return {input, output, std::nullopt, std::nullopt}; }
};

TEST_F(History, ProcessesThatOpenAHistoryNotYetMadeAllAtOnceAllSucceed) {
    constexpr int kProcesses = 8;
    for (int round = 0; round < 5; ++round) {
        const fs::path file = root / ("history" + std::to_string(round) + ".sqlite3");
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        std::vector<pid_t> children;
        std::fflush(nullptr);
        for (int child = 0; child < kProcesses; ++child) {
            children.push_back(::fork());
            if (children.back() == 0) {
                ::close(start[1]);
                char byte = 0;
                [[maybe_unused]] const ssize_t ended = ::read(start[0], &byte, 1); // until the test lets all go
                try {
                    foldwise::History opened(file);
                    opened.runs(1);
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
    const bool isReplaced = GetParam();
    for (int index = 0; index < 3000; ++index) { // three batches at least: the history goes after the first
        writeFile(input / ("file" + std::to_string(index) + ".txt"), "x");
    }
    std::int64_t recorded = -1;
    RunOptions options;
    options.progress = [&](const RunProgress&) {
        if (recorded >= 0) {
            return;
        }
        recorded = query("SELECT count(*) FROM moves");
        if (isReplaced) {
            foldwise::History(root / "other.sqlite3");
            fs::rename(root / "other.sqlite3", history);
        } else {
            fs::remove(history);
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

TEST_F(History, RunsWhoseProcessEndedAreInterruptedAndRunningOnesAreNeverMarkedUndone) {
    std::fflush(nullptr);
    const pid_t killed = ::fork();
    if (killed == 0) {
        foldwise::History(history).beginRun(foldwise::RunKind::Sort, folders(), true);
        ::kill(::getpid(), SIGKILL);
    }
    ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);

    foldwise::History opened(history);
    const std::int64_t running = opened.beginRun(foldwise::RunKind::Sort, folders(), true);
    const std::int64_t undo = opened.beginRun(foldwise::RunKind::Undo, folders(), std::nullopt);
    opened.markUndoneIfFinished(running, undo);
    const std::int64_t reused = opened.beginRun(foldwise::RunKind::Sort, folders(), true);
    // The same process id, started at another time: a process that took over the id of an ended one.
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(history.c_str(), &db), SQLITE_OK);
        const std::string sql = "UPDATE runs SET pid_started = pid_started + 1 WHERE id = " + std::to_string(reused);
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    const std::vector<foldwise::History::Run> runs = opened.runs(10);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].state, "interrupted");
    EXPECT_EQ(runs[1].state, "running") << "the undo itself";
    EXPECT_EQ(runs[2].state, "running");
    EXPECT_FALSE(runs[2].undone) << "a sort still running is never undone";
    EXPECT_EQ(runs[3].state, "interrupted");
}

TEST_F(History, KeepsTheFilesAnUndoBroughtBackForItsOwnFoldersOnly) {
    foldwise::History opened(history);
    const std::int64_t undo = opened.beginRun(foldwise::RunKind::Undo, folders(), std::nullopt);
    const std::vector<foldwise::History::Returned> returned{{"a.txt", {1, 2}, {3, 4}}, {"b\xff.jpg", {5, 6}, {7, 8}}};
    opened.recordReturned(undo, returned);
    const std::int64_t elsewhere =
        opened.beginRun(foldwise::RunKind::Undo, {input, root / "other", std::nullopt, std::nullopt}, {});
    opened.recordReturned(elsewhere, {{"c.txt", {1, 2}, {3, 4}}});

    const std::vector<foldwise::History::Returned> found =
        opened.returnedFiles({input / ".", output, std::nullopt, std::nullopt});
    ASSERT_EQ(found.size(), 2u);
    for (std::size_t index = 0; index < found.size(); ++index) {
        EXPECT_EQ(found[index].name, returned[index].name);
        EXPECT_EQ(found[index].identity, returned[index].identity);
        EXPECT_EQ(found[index].stamp, returned[index].stamp);
    }
}

} // namespace
} // namespace foldwise
