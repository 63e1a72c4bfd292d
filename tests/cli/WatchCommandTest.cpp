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

class WatchCommand : public CommandLineTest {
protected:
    // A watch with a short settle time, running once it has said so.
    std::unique_ptr<FoldwiseProcess> startWatch(const fs::path& from, const fs::path& to) {
        auto watch = std::make_unique<FoldwiseProcess>(std::vector<std::string>{"watch", from, to, "--settle", "0.3"});
        EXPECT_TRUE(watch->waitForError("Watching “", kPatience)) << watch->err();
        return watch;
    }

    static void expectStopsCleanly(FoldwiseProcess& watch) {
        watch.signal(SIGTERM);
        EXPECT_EQ(watch.waitForExit(kPatience), std::optional<int>(0)) << watch.err();
        EXPECT_NE(watch.err().find("Stopped watching “"), std::string::npos) << watch.err();
    }
};

TEST_F(WatchCommand, SortsWhatIsThereAndASlowlyWrittenFileOnlyOnceItHasSettled) {
    addFiles({"early.txt"});
    const auto watch = startWatch(input, output);
    EXPECT_TRUE(watch->waitForOutput("Moved “early.txt” into “Documents”.\n", kPatience)) << watch->out();

    {
        std::ofstream slow(input / "slow.mp3", std::ios::binary);
        for (int chunk = 0; chunk < 8; ++chunk) {
            slow << std::string(1000, 'a') << std::flush;
            // Longer than the settle time with no write at all: only being open for writing holds it back.
            std::this_thread::sleep_for(chunk == 4 ? 800ms : 100ms);
            ASSERT_TRUE(fs::exists(input / "slow.mp3")) << "moved while still being written, chunk " << chunk;
        }
    }

    EXPECT_TRUE(watch->waitForOutput("Moved “slow.mp3” into “Audio”.\n", kPatience)) << watch->out();
    EXPECT_EQ(readFile(output / "Audio/slow.mp3").size(), 8000u);
    expectStopsCleanly(*watch);
}

TEST_F(WatchCommand, LeavesUnfinishedDownloadsAloneUntilTheyAreRenamed) {
    const auto watch = startWatch(input, output);
    addFiles({"movie.mkv.part", "Setup.exe.crdownload", "~$report.docx"});
    std::this_thread::sleep_for(100ms);
    addFiles({"after.txt"}); // written after them: once it is sorted, they have been seen and settled too
    EXPECT_TRUE(watch->waitForOutput("Moved “after.txt” into “Documents”.\n", kPatience)) << watch->out();
    std::this_thread::sleep_for(600ms);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"movie.mkv.part", "Setup.exe.crdownload", "~$report.docx"}));

    fs::rename(input / "movie.mkv.part", input / "movie.mkv");

    EXPECT_TRUE(watch->waitForOutput("Moved “movie.mkv” into “Video”.\n", kPatience)) << watch->out();
    EXPECT_TRUE(fs::exists(output / "Video/movie.mkv"));
    expectStopsCleanly(*watch);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"Setup.exe.crdownload", "~$report.docx"}));
}

TEST_F(WatchCommand, WaitsForTheInputFolderToComeBack) {
    const auto watch = startWatch(input, output);
    const fs::path away = root / "away";
    fs::rename(input, away);
    EXPECT_TRUE(watch->waitForError("is not available; waiting for it to come back.", kPatience)) << watch->err();

    fs::rename(away, input);
    EXPECT_TRUE(watch->waitForError("is back; watching it again.", kPatience)) << watch->err();
    addFiles({"photo.jpg"});

    EXPECT_TRUE(watch->waitForOutput("Moved “photo.jpg” into “Images”.\n", kPatience)) << watch->out();
    expectStopsCleanly(*watch);
}

// A file copied to another file system is copied under a temporary name in its sub-folder; a stop during
// that copy removes the copy and keeps the source, as the window's Cancel does.
class StopDuringAMove : public CommandLineTest {
protected:
    void SetUp() override {
        CommandLineTest::SetUp();
        struct stat shm {};
        struct stat here {};
        if (::stat("/dev/shm", &shm) != 0 || ::stat(root.path().c_str(), &here) != 0 || shm.st_dev == here.st_dev) {
            GTEST_SKIP() << "needs /dev/shm on another file system than " << root.path();
        }
        fs::create_directory(shmInput.path() / "in");
        std::ofstream(shmInput.path() / "in/big.mkv", std::ios::binary) << std::string(512u << 20, 'v');
    }

    // Waits until the copy into the sub-folder has begun.
    bool copyHasBegun() const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            std::error_code ignored;
            if (!fs::is_empty(output / "Video", ignored) && !ignored) {
                return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }

    void expectNothingLost() const {
        EXPECT_EQ(fs::file_size(shmInput.path() / "in/big.mkv"), 512u << 20);
        std::error_code ignored;
        EXPECT_TRUE(fs::is_empty(output / "Video", ignored)) << "the partial copy is removed";
    }

    TempFolder shmInput{"/dev/shm"};
};

TEST_F(StopDuringAMove, SigtermStopsTheWatchAndKeepsTheFile) {
    FoldwiseProcess watch({"watch", shmInput.path() / "in", output, "--settle", "0"});
    ASSERT_TRUE(copyHasBegun()) << watch.err();

    watch.signal(SIGTERM);

    EXPECT_EQ(watch.waitForExit(kPatience), std::optional<int>(0)) << watch.err();
    EXPECT_EQ(watch.out(), "");
    expectNothingLost();
}

TEST_F(StopDuringAMove, SigintStopsASortAsCancelDoes) {
    FoldwiseProcess sort({"sort", shmInput.path() / "in", output});
    ASSERT_TRUE(copyHasBegun()) << sort.err();

    sort.signal(SIGINT);

    EXPECT_EQ(sort.waitForExit(kPatience), std::optional<int>(1)) << sort.err();
    EXPECT_EQ(sort.out(), "Sorting stopped: 0 files moved, 1 left in the input folder.\n");
    expectNothingLost();
}

} // namespace
} // namespace foldwise::test
