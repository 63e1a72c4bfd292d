#include "engine/Organizer.h"
#include "engine/FileError.h"

#include "tests/engine/InputOutputFolders.h"

#include <gtest/gtest.h>

namespace foldwise {
namespace {

using testing::readFile;
using testing::treeOf;
using testing::writeFile;

class Organizer : public testing::InputOutputFolders {};

TEST_F(Organizer, ExtensionModeUsesTheLowercasedLastExtension) {
    addFiles({"Photo.JPG", "notes.txt", "README", "backup.tar.gz", "Ärger.ÄBC"});
    organizeFiles(input, output, false);
    EXPECT_EQ(treeOf(output),
              (std::set<std::string>{"jpg/", "jpg/Photo.JPG", "txt/", "txt/notes.txt", "other/", "other/README", "gz/",
                                     "gz/backup.tar.gz", "äbc/", "äbc/Ärger.ÄBC"}));
    EXPECT_TRUE(treeOf(input).empty());
    EXPECT_EQ(readFile(output / "jpg/Photo.JPG"), "Photo.JPG");
}

TEST_F(Organizer, CategoryModeUsesTheCategoryNames) {
    addFiles({"Photo.JPG", "song.mp3", "clip.mp4", "paper.pdf", "main.cpp", "backup.tar.gz", "README"});
    organizeFiles(input, output, true);
    EXPECT_EQ(treeOf(output),
              (std::set<std::string>{"Images/", "Images/Photo.JPG", "Audio/", "Audio/song.mp3", "Video/",
                                     "Video/clip.mp4", "Documents/", "Documents/paper.pdf", "Code/", "Code/main.cpp",
                                     "Archives/", "Archives/backup.tar.gz", "Other/", "Other/README"}));
}

TEST_F(Organizer, LeavesHiddenEntriesFoldersAndTakenNamesAlone) {
    addFiles({"a.txt", "b.txt", ".hidden.txt"});
    fs::create_directories(input / "sub");
    writeFile(input / "sub/inner.txt");
    fs::create_directories(output / "txt");
    writeFile(output / "txt/b.txt", "older b");

    organizeFiles(input, output, false);

    EXPECT_EQ(treeOf(input), (std::set<std::string>{".hidden.txt", "b.txt", "sub/", "sub/inner.txt"}));
    EXPECT_EQ(readFile(output / "txt/b.txt"), "older b");
    EXPECT_EQ(readFile(output / "txt/a.txt"), "a.txt");
}

TEST_F(Organizer, JudgesLinksByTheirTargetAndMovesTheLinkItself) {
    writeFile(root / "target.txt", "target");
    fs::create_symlink(root / "target.txt", input / "link.txt");
    fs::create_directory_symlink(root.path(), input / "folder-link");
    fs::create_symlink(root / "nowhere.txt", input / "dangling.txt");

    organizeFiles(input, output, false);

    EXPECT_TRUE(fs::is_symlink(output / "txt/link.txt"));
    EXPECT_EQ(readFile(root / "target.txt"), "target");
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"folder-link", "dangling.txt"}));
}

TEST_F(Organizer, SortsANameThatIsNotUtf8Intact) {
    const std::string name = "caf\xe9-\xff.TXT";
    writeFile(input / name, "latin-1");
    organizeFiles(input, output, false);
    EXPECT_EQ(readFile(output / "txt" / name), "latin-1");
}

TEST_F(Organizer, StopsAtAFileWhereASubFolderMustGoAndKeepsWhatMoved) {
    addFiles({"a1.txt", "a2.txt", "a3.txt", "photo.jpg"});
    writeFile(output / "jpg", "a file named like the folder");

    try {
        organizeFiles(input, output, false);
        FAIL() << "the move into a file must fail";
    } catch (const FileError& error) {
        EXPECT_EQ(error.localizedDescription(),
                  "Could not move “photo.jpg” to “" + (output / "jpg").string() + "”: Not a directory");
    }
    EXPECT_TRUE(fs::exists(input / "photo.jpg"));
    for (const char* name : {"a1.txt", "a2.txt", "a3.txt"}) {
        EXPECT_NE(fs::exists(input / name), fs::exists(output / "txt" / name)) << name << " is lost or doubled";
    }
}

TEST_F(Organizer, FailsClearlyForAMissingInputAndCreatesAMissingOutput) {
    EXPECT_THROW(organizeFiles(root / "missing", output, true), FileError);
    addFiles({"a.txt"});
    organizeFiles(input, root / "new/out", false);
    EXPECT_TRUE(fs::exists(root / "new/out/txt/a.txt"));
}

TEST_F(Organizer, SortsIntoTheInputFolderItselfAndSkipsAnOutputInsideIt) {
    addFiles({"a.txt", "b.png"});
    organizeFiles(input, input, false);
    EXPECT_EQ(treeOf(input), (std::set<std::string>{"txt/", "txt/a.txt", "png/", "png/b.png"}));

    fs::create_directory(input / "sorted");
    addFiles({"c.txt"});
    organizeFiles(input, input / "sorted", false);
    EXPECT_TRUE(fs::exists(input / "sorted/txt/c.txt"));
    EXPECT_TRUE(fs::exists(input / "txt/a.txt"));
}

TEST_F(Organizer, ASecondRunAddsToTheExistingSubFolders) {
    addFiles({"a.txt"});
    organizeFiles(input, output, true);
    addFiles({"b.txt"});
    organizeFiles(input, output, true);
    EXPECT_EQ(treeOf(output), (std::set<std::string>{"Documents/", "Documents/a.txt", "Documents/b.txt"}));
}

} // namespace
} // namespace foldwise
