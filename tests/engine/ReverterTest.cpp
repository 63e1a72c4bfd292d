#include "engine/Reverter.h"
#include "engine/FileError.h"
#include "engine/Organizer.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using testing::readFile;
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

} // namespace
} // namespace foldwise
