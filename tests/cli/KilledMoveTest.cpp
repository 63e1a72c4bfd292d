#include "tests/cli/CommandLineTest.h"

#include <sys/wait.h>
#include <unistd.h>

namespace foldwise::test {
namespace {

// A move to another file system killed at the worst moment: its copy published, its source not yet
// removed. strace kills the command at its first unlinkat, which is that removal.
class KilledMove : public CommandLineTest {
protected:
    void SetUp() override {
        if (::access("/usr/bin/strace", X_OK) != 0) {
            GTEST_SKIP() << "strace is not installed";
        }
        CommandLineTest::SetUp();
    }

    static void runKilledAtFirstRemoval(const std::vector<std::string>& arguments) {
        std::vector<std::string> words{
            "strace", "-f", "-o", "/dev/null", "-e", "inject=unlinkat:signal=KILL:when=1", FOLDWISE_EXECUTABLE};
        words.insert(words.end(), arguments.begin(), arguments.end());
        const pid_t child = ::fork();
        if (child == 0) {
            std::vector<char*> argv;
            for (std::string& word : words) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            ::execv("/usr/bin/strace", argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the command was not killed";
    }

    void expectEveryFileBackOnce(const fs::path& destination) {
        const Finished undone = runFoldwise({"undo", input, destination});
        EXPECT_EQ(undone.status, 0) << undone.err;
        EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
        for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
            EXPECT_EQ(readFile(input / name), name);
        }
        EXPECT_TRUE(treeOf(destination).empty());
    }

    const TempFolder otherDrive{"/dev/shm"};
};

// Killed after publishing a copy, a sort is finished by the next undo or the next sort, and a killed
// undo by the next undo: no file is lost or kept twice.
TEST_F(KilledMove, TheNextSortOrUndoFinishesAMoveKilledAfterItsCopyWasPublished) {
    addFiles({"a.txt", "b.txt", "c.txt"});
    runKilledAtFirstRemoval({"sort", input, otherDrive.path()});
    EXPECT_EQ(treeOf(otherDrive.path()).size(), 2u) << "one copy published in its sub-folder";
    expectEveryFileBackOnce(otherDrive.path());

    runKilledAtFirstRemoval({"sort", input, otherDrive.path()});
    const Finished sorted = runFoldwise({"sort", input, otherDrive.path()});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_TRUE(treeOf(input).empty());
    EXPECT_EQ(treeOf(otherDrive.path() / "Documents"), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));

    runKilledAtFirstRemoval({"undo", input, otherDrive.path()});
    EXPECT_EQ(treeOf(input).size(), 1u) << "one copy published in the input folder";
    expectEveryFileBackOnce(otherDrive.path());
}

} // namespace
} // namespace foldwise::test
