#include "engine/FileSystem.h"
#include "engine/Folder.h"

#include "tests/support/FileErrorText.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using namespace test;

TEST(Listing, LeavesOutHiddenNamesUnlessAskedAndFailsClearlyForAMissingFolder) {
    TempFolder folder;
    writeFile(folder / "visible.txt");
    writeFile(folder / ".hidden");
    fs::create_directory(folder / "sub");

    EXPECT_EQ(FileSystem::listVisible(folder.path()).size(), 2u);
    EXPECT_EQ(FileSystem::listAll(folder.path()).size(), 3u);
    const std::string error = errorOf([&] { FileSystem::listVisible(folder / "missing"); });
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
}

TEST(MoveNoReplace, NeverReplacesADestinationThatAppearedAfterTheTest) {
    TempFolder folder;
    writeFile(folder / "mine.txt", "moving");
    writeFile(folder / "theirs.txt", "already there");
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    const Folder open(folder.path());
    // A caller that tested the destination before it appeared goes on to move: the move itself refuses,
    // and a dangling link is something too.
    EXPECT_EQ(open.moveNoReplace("mine.txt", open, "theirs.txt"), MoveResult::DestinationExists);
    EXPECT_EQ(open.moveNoReplace("mine.txt", open, "dangling"), MoveResult::DestinationExists);
    EXPECT_EQ(readFile(folder / "mine.txt"), "moving");
    EXPECT_EQ(readFile(folder / "theirs.txt"), "already there");
    EXPECT_FALSE(FileSystem::exists(folder / "dangling"));
}

} // namespace
} // namespace foldwise
