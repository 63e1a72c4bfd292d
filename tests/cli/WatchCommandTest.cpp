#include "tests/cli/CommandLineTest.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace foldwise::test {
namespace {

using namespace std::chrono_literals;

// Generous bounds: a loaded machine may be slow, and nothing here is timed more closely than this.
constexpr auto kPatience = 15s;

class WatchCommand : public CommandLineTest {};

TEST_F(WatchCommand, SortsOnlySettledFinishedFilesFollowsTheInputFolderAndStopsCleanly) {
    addFiles({"early.txt"});
    FoldwiseProcess watch({"watch", input, output, "--settle", "0.3"});
    ASSERT_TRUE(watch.waitForError("Watching “", kPatience)) << watch.err();
    EXPECT_TRUE(watch.waitForOutput("Moved “early.txt” into “Documents”.\n", kPatience)) << watch.out();

    {
        std::ofstream slow(input / "slow.mp3", std::ios::binary);
        for (int chunk = 0; chunk < 8; ++chunk) {
            slow << std::string(1000, 'a') << std::flush;
            // Longer than the settle time with no write at all: only being open for writing holds it back.
            std::this_thread::sleep_for(chunk == 4 ? 800ms : 100ms);
            ASSERT_TRUE(fs::exists(input / "slow.mp3")) << "moved while still being written, chunk " << chunk;
        }
    }
    EXPECT_TRUE(watch.waitForOutput("Moved “slow.mp3” into “Audio”.\n", kPatience)) << watch.out();
    EXPECT_EQ(readFile(output / "Audio/slow.mp3").size(), 8000u);

    // Unfinished downloads stay until they are renamed.
    addFiles({"movie.mkv.part", "Setup.exe.crdownload", "~$report.docx"});
    std::this_thread::sleep_for(100ms);
    addFiles({"after.txt"}); // written after them: once it is sorted, they have been seen and settled too
    EXPECT_TRUE(watch.waitForOutput("Moved “after.txt” into “Documents”.\n", kPatience)) << watch.out();
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"movie.mkv.part", "Setup.exe.crdownload", "~$report.docx"}));
    fs::rename(input / "movie.mkv.part", input / "movie.mkv");
    EXPECT_TRUE(watch.waitForOutput("Moved “movie.mkv” into “Video”.\n", kPatience)) << watch.out();

    // An input folder that goes away is waited for.
    fs::rename(input, root / "away");
    EXPECT_TRUE(watch.waitForError("is not available; waiting for it to come back.", kPatience)) << watch.err();
    fs::rename(root / "away", input);
    EXPECT_TRUE(watch.waitForError("is back; watching it again.", kPatience)) << watch.err();
    addFiles({"photo.jpg"});
    EXPECT_TRUE(watch.waitForOutput("Moved “photo.jpg” into “Images”.\n", kPatience)) << watch.out();

    std::this_thread::sleep_for(1s); // idle, so that only the signal can wake it
    watch.signal(SIGTERM);
    EXPECT_EQ(watch.waitForExit(kPatience), std::optional<int>(0)) << watch.err();
    EXPECT_NE(watch.err().find("Stopped watching “"), std::string::npos) << watch.err();
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"Setup.exe.crdownload", "~$report.docx"}));
}

std::size_t timesIn(const std::string& text, const std::string& part) {
    std::size_t times = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++times;
    }
    return times;
}

// A file whose name is taken stays, and is tried again once that name may be free; with --if-taken
// keep-both it goes beside its namesake at once.
TEST_F(WatchCommand, TriesAFileWhoseNameIsTakenAgainLater) {
    writeFile(makeFolder(output / "Documents") / "notes.txt", "the user's");
    addFiles({"notes.txt"});
    FoldwiseProcess watch({"watch", input, output, "--settle", "0.2"});
    ASSERT_TRUE(watch.waitForOutput("“notes.txt” stayed: its name is taken in “", kPatience)) << watch.out();
    fs::remove(output / "Documents" / "notes.txt");
    EXPECT_TRUE(watch.waitForOutput("Moved “notes.txt” into “Documents”.\n", kPatience)) << watch.out();
    EXPECT_EQ(readFile(output / "Documents" / "notes.txt"), "notes.txt");
    watch.signal(SIGTERM);
    watch.waitForExit(kPatience);

    addFiles({"notes.txt"});
    FoldwiseProcess keepingBoth({"watch", input, output, "--settle", "0.2", "--if-taken", "keep-both"});
    EXPECT_TRUE(
        FoldwiseProcess::waitUntil([&] { return fs::exists(output / "Documents" / "notes (2).txt"); }, kPatience));
}

// A file moves once the settle time has passed since its last change, and not long after: the move's
// own time is the moved file's change time, its last change its modification time.
TEST_F(WatchCommand, SortsAFileOnceTheSettleTimeHasPassedSinceItsLastChange) {
    FoldwiseProcess watch({"watch", input, output, "--settle", "1.5"});
    ASSERT_TRUE(watch.waitForError("Watching “", kPatience)) << watch.err();
    addFiles({"a.txt"});
    std::this_thread::sleep_for(700ms);
    writeFile(input / "a.txt", "changed");
    ASSERT_TRUE(watch.waitForOutput("Moved “a.txt” into “Documents”.\n", kPatience)) << watch.out();

    struct stat moved {};
    ASSERT_EQ(::stat((output / "Documents/a.txt").c_str(), &moved), 0);
    const auto nanoseconds = [](const timespec& time) {
        return std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec);
    };
    const auto settledFor = nanoseconds(moved.st_ctim) - nanoseconds(moved.st_mtim);
    EXPECT_GE(settledFor, 1500ms);
    EXPECT_LT(settledFor, 10s) << "a wait far longer than the settle time";
    EXPECT_EQ(readFile(output / "Documents/a.txt"), "changed");
}

TEST_F(WatchCommand, NeverMakesTheFoldersAboveAMistypedOutput) {
    const Finished watched = runFoldwise({"watch", input, root / "Typo" / "Sorted"});
    EXPECT_EQ(watched.status, 1);
    EXPECT_NE(watched.err.find("does not exist"), std::string::npos) << watched.err;
    EXPECT_FALSE(fs::exists(root / "Typo"));
}

TEST_F(WatchCommand, LeavesWhatAnUndoBroughtBackAloneUntilItChanges) {
    addFiles({"a.txt", "b.jpg"});
    FoldwiseProcess watch({"watch", input, output, "--settle", "0.3"});
    ASSERT_TRUE(watch.waitForOutput("Moved “b.jpg” into “Images”.\n", kPatience)) << watch.out();
    ASSERT_TRUE(watch.waitForOutput("Moved “a.txt” into “Documents”.\n", kPatience)) << watch.out();

    const QJsonObject undone = jsonOf(runFoldwise({"undo", input, output, "--json"}));
    EXPECT_EQ(countIn(undone, "moved"), 2);
    EXPECT_TRUE(undone.value(QStringLiteral("inputWatched")).toBool());
    std::this_thread::sleep_for(600ms); // the settle time, twice
    addFiles({"c.txt"});                // changed after them: once it is sorted, they have been looked at
    EXPECT_TRUE(watch.waitForOutput("Moved “c.txt” into “Documents”.\n", kPatience)) << watch.out();
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.jpg"}));

    writeFile(input / "a.txt", "changed");
    EXPECT_TRUE(FoldwiseProcess::waitUntil(
        [&] { return timesIn(watch.out(), "Moved “a.txt” into “Documents”.\n") == 2; }, kPatience))
        << watch.out();
    EXPECT_EQ(treeOf(input), std::set<std::string>{"b.jpg"});
}

// A file copied to another file system is copied under a temporary name in its sub-folder; a stop during
// that copy removes the copy and keeps the source, as the window's Cancel does.
class StopDuringAMove : public CommandLineTest {
protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        std::ofstream big(makeFolder(shmInput / "in") / "big.mkv", std::ios::binary);
        for (const std::string mebibyte(1 << 20, 'v'); big.tellp() < (512 << 20);) {
            big << mebibyte; // a mebibyte at a time: one string of it all costs seconds on a busy machine
        }
    }

    bool copyHasBegun() const {
        return FoldwiseProcess::waitUntil(
            [&] {
                std::error_code ignored;
                return !fs::is_empty(output / "Video", ignored) && !ignored;
            },
            kPatience);
    }

    void expectNothingLost() const {
        EXPECT_EQ(fs::file_size(shmInput / "in/big.mkv"), 512u << 20);
        std::error_code ignored;
        EXPECT_TRUE(fs::is_empty(output / "Video", ignored)) << "the partial copy is removed";
    }

    TempFolder shmInput{"/dev/shm"};
};

TEST_F(StopDuringAMove, SigtermStopsAWatchAndSigintASortKeepingTheFile) {
    {
        FoldwiseProcess watch({"watch", shmInput / "in", output, "--settle", "0"});
        ASSERT_TRUE(copyHasBegun()) << watch.err();
        watch.signal(SIGTERM);
        EXPECT_EQ(watch.waitForExit(kPatience), std::optional<int>(0)) << watch.err();
        EXPECT_EQ(watch.out(), "");
        expectNothingLost();
    }

    FoldwiseProcess sort({"sort", shmInput / "in", output});
    ASSERT_TRUE(copyHasBegun()) << sort.err();
    sort.signal(SIGINT);
    EXPECT_EQ(sort.waitForExit(kPatience), std::optional<int>(1)) << sort.err();
    EXPECT_EQ(sort.out(), "Sorting stopped: 0 files moved, 1 left in the input folder.\n");
    expectNothingLost();
}

} // namespace
} // namespace foldwise::test
