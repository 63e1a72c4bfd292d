#include "engine/Reverter.h"
#include "engine/FileError.h"
#include "engine/Organizer.h"

#include "tests/engine/InputOutputFolders.h"
#include "tests/support/AsNobody.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldwise {
namespace {

using testing::openToNobody;
using testing::readFile;
using testing::runAsNobody;
using testing::treeOf;
using testing::writeFile;

class Reverter : public testing::InputOutputFolders {};

class RevertAfterSort : public Reverter, public ::testing::WithParamInterface<bool> {};

TEST_P(RevertAfterSort, ReturnsEveryFileAndRemovesTheEmptiedSubFolders) {
    const std::string notUtf8 = "r\xe9sum\xe9.PDF";
    for (const std::string& name :
         {std::string("Photo.JPG"), std::string("README"), std::string("a.tar.gz"), notUtf8}) {
        writeFile(input / name, name);
    }
    const auto before = treeOf(input);

    organizeFiles(input, output, GetParam());
    revertFiles(input, output);

    EXPECT_EQ(treeOf(input), before);
    EXPECT_EQ(readFile(input / notUtf8), notUtf8);
    EXPECT_TRUE(treeOf(output).empty());
}

INSTANTIATE_TEST_SUITE_P(BothModes, RevertAfterSort, ::testing::Bool());

TEST_F(Reverter, FlattensAnyTreeAndKeepsTakenNamesWhereTheyAre) {
    fs::create_directories(output / "a/b/c");
    writeFile(output / "a/b/c/report.txt", "deep");
    fs::create_directories(output / "x");
    fs::create_directories(output / "y");
    writeFile(output / "x/same.txt", "x");
    writeFile(output / "y/same.txt", "y");
    writeFile(output / "y/clash.txt", "from output");
    writeFile(input / "clash.txt", "from input");
    writeFile(output / "loose.txt", "top level");

    revertFiles(input, output);

    EXPECT_EQ(readFile(input / "report.txt"), "deep");
    EXPECT_EQ(readFile(input / "loose.txt"), "top level");
    EXPECT_EQ(readFile(input / "clash.txt"), "from input");
    const std::string back = readFile(input / "same.txt");
    const std::string stayed = back == "x" ? "y" : "x";
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"y/", "y/clash.txt", stayed + "/", stayed + "/same.txt"}));
}

TEST_F(Reverter, NeverDeletesAFileNorFollowsALinkedFolder) {
    fs::create_directories(output / "Video");
    writeFile(output / "Video/.foldwise-move-42.part", "left by a killed move");
    fs::create_directories(output / "Images");
    writeFile(output / "Images/.thumbnail", "hidden");
    writeFile(output / "Images/a.jpg");
    fs::create_directories(output / ".cache");
    writeFile(output / ".cache/data");
    fs::create_directories(root / "elsewhere");
    writeFile(root / "elsewhere/not-mine.txt");
    fs::create_directory_symlink(root / "elsewhere", output / "linked");

    revertFiles(input, output);

    EXPECT_EQ(treeOf(input), std::set<std::string>{"a.jpg"});
    EXPECT_EQ(treeOf(output),
              (std::set<std::string>{"Images/", "Images/.thumbnail", ".cache/", ".cache/data", "linked"}));
    EXPECT_TRUE(fs::exists(root / "elsewhere/not-mine.txt"));
}

TEST_F(Reverter, KeepsAnEmptyInputFolderThatLiesInTheOutputFolder) {
    const fs::path nestedInput = output / "inbox";
    fs::create_directory(nestedInput);
    fs::create_directories(output / "empty");

    revertFiles(nestedInput, output);

    EXPECT_EQ(treeOf(output), std::set<std::string>{"inbox/"});
}

TEST_F(Reverter, WithInputAndOutputTheSameBringsFilesUpToTheTopLevel) {
    fs::create_directories(input / "txt");
    writeFile(input / "txt/a.txt");
    writeFile(input / "top.txt");
    revertFiles(input, input);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "top.txt"}));
}

TEST_F(Reverter, FailsForAMissingOutputAndStopsWithoutCleanUpWhenAMoveFails) {
    EXPECT_THROW(revertFiles(input, root / "missing"), FileError);

    fs::create_directories(output / "txt");
    fs::create_directories(output / "empty");
    writeFile(output / "txt/a.txt");
    try {
        revertFiles(root / "gone", output);
        FAIL() << "moving into a missing input folder must fail";
    } catch (const FileError& error) {
        EXPECT_NE(error.localizedDescription().find("No such file or directory"), std::string::npos);
    }
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"txt/", "txt/a.txt", "empty/"}));
}

TEST_F(Reverter, LeavesPipesInTheOutputAndStopsWhenCancelled) {
    fs::create_directories(output / "txt");
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        writeFile(output / "txt" / name);
    }
    ASSERT_EQ(::mkfifo((output / "txt/pipe").c_str(), 0644), 0);
    std::stop_source stop;
    RunOptions options;
    options.stop = stop.get_token();
    options.progress = [&](const RunProgress&) {
        stop.request_stop();
    };

    RunOutcome outcome = revertFiles(input, output, options);
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.moved + outcome.notRegular, 1);
    EXPECT_EQ(outcome.notReached, 3);
    EXPECT_TRUE(fs::exists(output / "txt")) << "nothing is cleaned up after a stop";

    outcome = revertFiles(input, output, {});
    EXPECT_TRUE(outcome.isComplete());
    EXPECT_EQ(outcome.notRegular, 1);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"txt/", "txt/pipe"}));
}

TEST_F(Reverter, NamesAFolderItCouldNotRead) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run as nobody";
    }
    openToNobody(output.string());
    fs::create_directories(output / "txt");
    fs::create_directories(output / "locked");
    writeFile(output / "txt/a.txt");
    writeFile(output / "locked/b.txt");
    for (const fs::path& folder : {input, output, output / "txt", output / "locked"}) {
        ::chown(folder.c_str(), 65534, 65534);
    }
    ::chmod((output / "locked").c_str(), 0);

    const auto text = runAsNobody([&] {
        const RunOutcome outcome = revertFiles(input, output, {});
        std::string result = std::to_string(outcome.moved);
        for (const FileError& error : outcome.unreadableFolders) {
            result += "|" + error.localizedDescription();
        }
        return result;
    });
    ::chmod((output / "locked").c_str(), 0755);

    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "1|Could not open the folder “" + (output / "locked").string() + "”: Permission denied");
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"locked/", "locked/b.txt"}));
    ::chmod((output / "locked").c_str(), 0);
    const auto plain = runAsNobody([&] {
        try {
            revertFiles(input, output);
            return std::string("success");
        } catch (const FileError& error) {
            return error.localizedDescription();
        }
    });
    ::chmod((output / "locked").c_str(), 0755);
    EXPECT_EQ(plain, "Could not open the folder “" + (output / "locked").string() + "”: Permission denied");
}

TEST_F(Reverter, ReachesEveryDepthWithFewDescriptors) {
    constexpr int kDepth = 1500;
    int fd = ::open(output.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 1; level <= kDepth; ++level) {
        ASSERT_EQ(::mkdirat(fd, "d", 0755), 0);
        const int inner = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = inner;
        if (level % 100 == 0) {
            const std::string name = "at-" + std::to_string(level);
            ::close(::openat(fd, name.c_str(), O_WRONLY | O_CREAT, 0644));
        }
    }
    ::close(fd);

    struct rlimit limit {};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    const struct rlimit few { 64, limit.rlim_max };
    ::setrlimit(RLIMIT_NOFILE, &few);
    const RunOutcome outcome = revertFiles(input, output, {});
    ::setrlimit(RLIMIT_NOFILE, &limit);

    EXPECT_TRUE(outcome.isComplete());
    EXPECT_EQ(outcome.moved, kDepth / 100);
    EXPECT_EQ(treeOf(input).size(), static_cast<std::size_t>(kDepth / 100));
    EXPECT_TRUE(fs::is_empty(output)) << "the emptied tree is removed";
}

} // namespace
} // namespace foldwise
