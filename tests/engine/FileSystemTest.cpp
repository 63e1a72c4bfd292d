#include "engine/FileSystem.h"
#include "engine/FileError.h"
#include "engine/Lowercase.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace foldwise {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::treeOf;
using testing::writeFile;

TEST(PathExtension, IsTheTextAfterTheLastDotOfTheName) {
    EXPECT_EQ(FileSystem::pathExtension("/a/backup.tar.gz"), "gz");
    EXPECT_EQ(FileSystem::pathExtension("/a/Photo.JPG"), "JPG");
    EXPECT_EQ(FileSystem::pathExtension("/a.d/README"), "");
    EXPECT_EQ(FileSystem::pathExtension("/a/trailing."), "");
    EXPECT_EQ(FileSystem::pathExtension("/a/.profile"), "");
    EXPECT_EQ(FileSystem::pathExtension("/a/.config.yaml"), "yaml");
}

TEST(Lowercase, MapsAllOfUnicodeAndLeavesBrokenBytesAlone) {
    EXPECT_EQ(lowercased("JPG"), "jpg");
    EXPECT_EQ(lowercased("ÄÖÜ"), "äöü");
    EXPECT_EQ(lowercased("ΣΑΣ"), "σασ");
    const std::string notUtf8 = "J\xff\xfeG";
    EXPECT_EQ(lowercased(notUtf8), notUtf8);
}

TEST(Listing, LeavesOutHiddenNamesUnlessAskedAndFailsClearlyForAMissingFolder) {
    TempFolder folder;
    writeFile(folder / "visible.txt");
    writeFile(folder / ".hidden");
    fs::create_directory(folder / "sub");

    EXPECT_EQ(FileSystem::listVisible(folder.path()).size(), 2u);
    EXPECT_EQ(FileSystem::listAll(folder.path()).size(), 3u);
    try {
        FileSystem::listVisible(folder / "missing");
        FAIL() << "listing a missing folder must throw";
    } catch (const FileError& error) {
        EXPECT_NE(error.localizedDescription().find("missing"), std::string::npos);
        EXPECT_NE(error.localizedDescription().find("No such file or directory"), std::string::npos);
    }
}

TEST(Walk, VisitsEveryDepthButNeverHiddenEntriesPackagesOrLinkedFolders) {
    TempFolder folder;
    fs::create_directories(folder / "a/b");
    writeFile(folder / "a/b/deep.txt");
    fs::create_directories(folder / ".hidden");
    writeFile(folder / ".hidden/secret.txt");
    fs::create_directories(folder / "Tool.app/Contents");
    writeFile(folder / "Tool.app/Contents/inside");
    fs::create_directory_symlink(folder / "a", folder / "loop");

    std::set<std::string> seen;
    const auto visit = [&](const fs::path& entry) {
        seen.insert(entry.lexically_relative(folder.path()).string());
    };
    ASSERT_TRUE(FileSystem::walk(folder.path(), WalkOptions{.skipPackageContents = true}, visit));
    EXPECT_EQ(seen, (std::set<std::string>{"a", "a/b", "a/b/deep.txt", "Tool.app", "loop"}));

    seen.clear();
    FileSystem::walk(folder.path(), WalkOptions{}, visit);
    EXPECT_TRUE(seen.count("Tool.app/Contents/inside"));
    EXPECT_FALSE(FileSystem::walk(folder / "missing", WalkOptions{}, visit));
}

TEST(KindOf, FollowsLinks) {
    TempFolder folder;
    writeFile(folder / "file");
    fs::create_symlink(folder / "file", folder / "to-file");
    fs::create_directory_symlink(folder.path(), folder / "to-folder");
    fs::create_symlink(folder / "nowhere", folder / "dangling");

    EXPECT_EQ(FileSystem::kindOf(folder / "to-file"), EntryKind::File);
    EXPECT_EQ(FileSystem::kindOf(folder / "to-folder"), EntryKind::Directory);
    EXPECT_EQ(FileSystem::kindOf(folder / "dangling"), EntryKind::Missing);
    EXPECT_FALSE(FileSystem::exists(folder / "dangling"));
}

TEST(MoveNoReplace, NeverReplacesADestinationThatAppearedAfterTheTest) {
    TempFolder folder;
    writeFile(folder / "mine.txt", "moving");
    writeFile(folder / "theirs.txt", "already there");
    // A caller that tested the destination before it appeared goes on to move: the move itself refuses.
    EXPECT_EQ(FileSystem::moveNoReplace(folder / "mine.txt", folder / "theirs.txt"), MoveResult::DestinationExists);
    EXPECT_EQ(readFile(folder / "mine.txt"), "moving");
    EXPECT_EQ(readFile(folder / "theirs.txt"), "already there");
    // A dangling link is something too: it is not replaced either.
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    EXPECT_EQ(FileSystem::moveNoReplace(folder / "mine.txt", folder / "dangling"), MoveResult::DestinationExists);
}

TEST(MoveNoReplace, DescribesAFailureWithTheItemTheDestinationAndTheReason) {
    TempFolder folder;
    writeFile(folder / "a.txt");
    writeFile(folder / "txt"); // a file where a folder is needed
    try {
        FileSystem::moveNoReplace(folder / "a.txt", folder / "txt/a.txt");
        FAIL() << "moving into a file must throw";
    } catch (const FileError& error) {
        EXPECT_EQ(error.localizedDescription(),
                  "Could not move “a.txt” to “" + (folder / "txt").string() + "”: Not a directory");
    }
    EXPECT_TRUE(fs::exists(folder / "a.txt"));
}

class CrossDeviceMove : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::is_directory("/dev/shm")) {
            GTEST_SKIP() << "no second file system at /dev/shm";
        }
    }
    TempFolder source{"/dev/shm"};
    TempFolder destination{fs::temp_directory_path()};
};

TEST_F(CrossDeviceMove, KeepsContentModeAndTimeAndLeavesNoTemporaryFile) {
    writeFile(source / "report.txt", std::string(200000, 'x'));
    ::chmod((source / "report.txt").c_str(), 0640);
    const struct timespec times[2] = {{1000000000, 0}, {1234567890, 500}};
    ::utimensat(AT_FDCWD, (source / "report.txt").c_str(), times, 0);

    ASSERT_EQ(FileSystem::moveNoReplace(source / "report.txt", destination / "report.txt"), MoveResult::Moved);

    struct stat status {};
    ASSERT_EQ(::stat((destination / "report.txt").c_str(), &status), 0);
    EXPECT_EQ(readFile(destination / "report.txt"), std::string(200000, 'x'));
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_EQ(status.st_mtim.tv_sec, 1234567890);
    EXPECT_FALSE(fs::exists(source / "report.txt"));
    EXPECT_EQ(treeOf(destination.path()), std::set<std::string>{"report.txt"});
}

TEST_F(CrossDeviceMove, ReCreatesALinkAndNeverReplaces) {
    writeFile(source / "target", "target");
    fs::create_symlink("target", source / "link");
    writeFile(source / "taken.txt", "new");
    writeFile(destination / "taken.txt", "old");

    ASSERT_EQ(FileSystem::moveNoReplace(source / "link", destination / "link"), MoveResult::Moved);
    EXPECT_TRUE(fs::is_symlink(destination / "link"));
    EXPECT_EQ(fs::read_symlink(destination / "link"), "target");

    EXPECT_EQ(FileSystem::moveNoReplace(source / "taken.txt", destination / "taken.txt"),
              MoveResult::DestinationExists);
    EXPECT_EQ(readFile(source / "taken.txt"), "new");
    EXPECT_EQ(readFile(destination / "taken.txt"), "old");
    EXPECT_EQ(treeOf(destination.path()), (std::set<std::string>{"link", "taken.txt"}));
}

TEST_F(CrossDeviceMove, AFailedCopyLeavesTheSourceUntouched) {
    writeFile(source / "a.txt", "keep me");
    writeFile(destination / "blocker");
    EXPECT_THROW(FileSystem::moveNoReplace(source / "a.txt", destination / "blocker/a.txt"), FileError);
    EXPECT_EQ(readFile(source / "a.txt"), "keep me");
    EXPECT_EQ(treeOf(destination.path()), std::set<std::string>{"blocker"});
}

} // namespace
} // namespace foldwise
